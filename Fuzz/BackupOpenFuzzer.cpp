// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a backup file opened with a fixed key: a payload or an error, never a crash. The
// input's first byte picks whether the rest is the whole file or a payload sealed under the
// fixed key, so the payload decoder behind the authentication is reached too.
#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/Base64.hpp>
#include <OTPCore/Crypto.hpp>
#include <cstdlib>
#include <string>

namespace {

const zemlar::Bytes key(32, 0x42);
const zemlar::Bytes nonce(12, 0x24);

// An envelope around arbitrary payload bytes, sealed with the codec's own cipher and header.
zemlar::Bytes sealedAround(const std::uint8_t* data, std::size_t size) {
    const auto header = zemlar::BackupHeader::make(zemlar::Bytes(16, 7), 600'000);
    const auto sealed =
        zemlar::Crypto::AESGCM::seal(key, nonce, {data, size}, header.authenticatedData());
    const std::string text =
        R"({"cipher":"AES-256-GCM","format":"zemlar-backup","kdf":{"iterations":600000,)"
        R"("name":"PBKDF2-HMAC-SHA256","salt":")" +
        zemlar::Base64::encode(header.kdf.salt) + R"("},"sealed":")" +
        zemlar::Base64::encode(*sealed) + R"(","version":1})";
    return zemlar::Bytes(text.begin(), text.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool asPayload = data[0] & 1;
    const zemlar::Bytes file =
        asPayload ? sealedAround(data + 1, size - 1) : zemlar::Bytes(data + 1, data + size);
    const auto payload = zemlar::BackupCodec::open(file, key);
    if (payload) {
        // What opens must seal again and open to the same accounts.
        const auto header = zemlar::BackupHeader::make(zemlar::Bytes(16, 7), 600'000);
        const auto resealed = zemlar::BackupCodec::seal(*payload, key, header, nonce);
        if (resealed) {
            const auto reopened = zemlar::BackupCodec::open(*resealed, key);
            if (!reopened || reopened->accounts.size() != payload->accounts.size()) {
                std::abort();
            }
        }
    } else {
        (void)payload.error().describe();
    }
    return 0;
}
