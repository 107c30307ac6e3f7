// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/AccountsCodecError.hpp>
#include <string>

namespace zemlar {

/// The error of the account and group files.
class AccountStoreError {
public:
    enum class Kind { corrupted, readFailed, writeFailed };

    /// The file was read but does not decode.
    static AccountStoreError corrupted(AccountsCodecError error) {
        return {Kind::corrupted, error};
    }
    /// The file exists but cannot be read.
    static AccountStoreError readFailed() {
        return {Kind::readFailed, AccountsCodecError::malformed()};
    }
    /// Encoding failed, or the folder or file could not be created, written or protected.
    static AccountStoreError writeFailed() {
        return {Kind::writeFailed, AccountsCodecError::malformed()};
    }

    Kind kind() const { return kind_; }
    /// The codec's error, for corrupted.
    const AccountsCodecError& codecError() const { return codecError_; }
    std::string describe() const;

    bool operator==(const AccountStoreError&) const = default;

private:
    AccountStoreError(Kind kind, AccountsCodecError codecError)
        : kind_(kind), codecError_(codecError) {}

    Kind kind_;
    AccountsCodecError codecError_;
};

} // namespace zemlar
