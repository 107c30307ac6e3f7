// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupCredentials.hpp"
#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Base64.hpp>
#include <OTPCore/Result.hpp>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zemlar {

using RecoveryCodes = std::map<std::string, std::vector<std::string>>;

/// The vault document: every secret, the backup credentials and the recovery codes, keyed by
/// the account identifier's upper-case text. Secret buffers are wiped when the value dies.
struct VaultContents {
    static constexpr std::int64_t currentVersion = 1;

    std::int64_t version = currentVersion;
    std::map<std::string, Bytes> secrets;
    std::optional<BackupCredentials> backup;
    /// Absent rather than empty when no account has recovery codes.
    std::optional<RecoveryCodes> recovery;
    /// The desktop's restore token for typing through its remote-desktop portal; absent until
    /// the user first allowed it.
    std::optional<std::string> remoteDesktopToken;

    /// Compact JSON, secrets as padded standard Base64; invalidData when it cannot be written.
    Result<Bytes, SecretStoreError> encoded() const;
    /// invalidData for anything but a well-formed document of the current version. Unknown
    /// keys are ignored.
    static Result<VaultContents, SecretStoreError> decode(std::span<const std::uint8_t> bytes);

    VaultContents() = default;
    VaultContents(const VaultContents&) = default;
    VaultContents(VaultContents&&) noexcept = default;
    VaultContents& operator=(const VaultContents&) = default;
    VaultContents& operator=(VaultContents&&) noexcept = default;
    ~VaultContents();

    bool operator==(const VaultContents&) const = default;
};

} // namespace zemlar
