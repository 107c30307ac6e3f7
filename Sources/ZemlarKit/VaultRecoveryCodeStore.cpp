// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/VaultRecoveryCodeStore.hpp"

#include <OTPCore/Crypto.hpp>
#include <utility>

namespace zemlar {
namespace {

void wipeCodes(RecoveryCodes& recovery) {
    for (auto& [key, codes] : recovery) {
        for (std::string& code : codes) {
            Crypto::wipe(code);
        }
    }
}

} // namespace

Result<RecoveryCodeMap, SecretStoreError> VaultRecoveryCodeStore::readAll() {
    auto contents = vault->read();
    if (!contents) {
        return fail(contents.error());
    }
    RecoveryCodeMap codes;
    if (contents->recovery) {
        for (const auto& [key, list] : *contents->recovery) {
            if (const auto id = UUID::parse(key)) {
                codes.emplace(*id, list);
            }
        }
    }
    return codes;
}

Result<void, SecretStoreError>
VaultRecoveryCodeStore::setCodes(const std::vector<std::string>& codes, const UUID& id) {
    return vault->update([&](VaultContents& contents) -> Result<void, SecretStoreError> {
        RecoveryCodes recovery = contents.recovery.value_or(RecoveryCodes{});
        // The codes being replaced die here rather than with the contents: wiped now.
        RecoveryCodes replaced =
            std::exchange(contents.recovery, std::nullopt).value_or(RecoveryCodes{});
        if (codes.empty()) {
            recovery.erase(id.uuidString());
        } else {
            recovery[id.uuidString()] = codes;
        }
        contents.recovery = recovery.empty() ? std::nullopt : std::optional(std::move(recovery));
        wipeCodes(replaced);
        return {};
    });
}

} // namespace zemlar
