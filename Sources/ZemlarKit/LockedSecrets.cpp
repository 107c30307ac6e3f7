// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/LockedSecrets.hpp"

#include <OTPCore/Crypto.hpp>
#include <algorithm>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace zemlar {
namespace {

std::size_t wholePages(std::size_t length) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (length + page - 1) / page * page;
}

std::size_t totalLength(const SecretMap& secrets) {
    std::size_t total = 0;
    for (const auto& [id, secret] : secrets) {
        total += secret.size();
    }
    return total;
}

} // namespace

LockedSecrets::LockedSecrets(SecretMap&& secrets) {
    const std::size_t needed = totalLength(secrets);
    if (needed > 0) {
        length_ = wholePages(needed);
        void* mapped =
            mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            length_ = 0;
            throw std::bad_alloc();
        }
        memory_ = static_cast<std::uint8_t*>(mapped);
        (void)madvise(memory_, length_, MADV_DONTDUMP);
        (void)mlock(memory_, length_);
    }
    std::uint8_t* next = memory_;
    for (auto& [id, secret] : secrets) {
        std::copy(secret.begin(), secret.end(), next);
        index_.emplace(id, std::span<const std::uint8_t>(next, secret.size()));
        next += secret.size();
        Crypto::wipe(secret);
    }
}

LockedSecrets::LockedSecrets(LockedSecrets&& other) noexcept
    : memory_(std::exchange(other.memory_, nullptr)), length_(std::exchange(other.length_, 0)),
      index_(std::exchange(other.index_, {})) {}

LockedSecrets& LockedSecrets::operator=(LockedSecrets&& other) noexcept {
    if (this != &other) {
        clear();
        memory_ = std::exchange(other.memory_, nullptr);
        length_ = std::exchange(other.length_, 0);
        index_ = std::exchange(other.index_, {});
    }
    return *this;
}

LockedSecrets::~LockedSecrets() {
    clear();
}

std::optional<std::span<const std::uint8_t>> LockedSecrets::find(const UUID& id) const {
    const auto found = index_.find(id);
    if (found == index_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void LockedSecrets::clear() {
    index_.clear();
    if (memory_ != nullptr) {
        Crypto::wipe(std::span(memory_, length_));
        (void)munlock(memory_, length_);
        (void)munmap(memory_, length_);
        memory_ = nullptr;
        length_ = 0;
    }
}

} // namespace zemlar
