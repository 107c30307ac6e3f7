// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the decoded payload of a migration link, and any text as the link itself: the
// parser never crashes, and each account gives one entry or one skip.
#include <OTPCore/OTPMigration.hpp>
#include <cstdlib>
#include <openssl/evp.h>
#include <string>

namespace {

std::string linkOf(const std::uint8_t* data, std::size_t size) {
    std::string text(4 * ((size + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), data,
                                       static_cast<int>(size));
    text.resize(static_cast<std::size_t>(length));
    return "otpauth-migration://offline?data=" + text;
}

void check(const std::optional<zemlar::ImportBatch>& batch) {
    if (batch && batch->migrationParts.size() > 1) {
        std::abort();
    }
    if (batch) {
        for (const auto& entry : batch->entries) {
            if (entry.secret.empty()) {
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    check(OTPMigration::parse(linkOf(data, size)));
    check(OTPMigration::parse(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
