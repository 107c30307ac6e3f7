// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zemlar {

/// Why the account or group file could not be read or written.
class AccountsCodecError {
public:
    enum class Kind { unsupportedVersion, malformed, encodingFailed };

    /// The document has an integer version other than the current one.
    static AccountsCodecError unsupportedVersion(std::int64_t version) {
        return {Kind::unsupportedVersion, version};
    }
    /// Not JSON, no integer version, or the full decoding failed.
    static AccountsCodecError malformed() { return {Kind::malformed, 0}; }
    static AccountsCodecError encodingFailed() { return {Kind::encodingFailed, 0}; }

    Kind kind() const { return kind_; }
    /// The version read, for unsupportedVersion; 0 otherwise.
    std::int64_t version() const { return version_; }
    std::string describe() const;

    bool operator==(const AccountsCodecError&) const = default;

private:
    AccountsCodecError(Kind kind, std::int64_t version) : kind_(kind), version_(version) {}

    Kind kind_;
    std::int64_t version_;
};

} // namespace zemlar
