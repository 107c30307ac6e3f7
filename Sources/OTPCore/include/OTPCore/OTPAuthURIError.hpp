// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace zemlar {

/// Why an otpauth link was refused. Carries no text for the user.
class OTPAuthURIError {
public:
    enum class Kind {
        unsupportedType,
        invalidURI,
        unsupportedScheme,
        missingSecret,
        invalidSecret,
        invalidParameters
    };

    /// The host is not "totp"; the payload is the host in lower case ("hotp" for counter-based
    /// links), empty when the link has none.
    static OTPAuthURIError unsupportedType(std::string type) {
        return {Kind::unsupportedType, std::move(type)};
    }
    /// Not a well-formed URI.
    static OTPAuthURIError invalidURI() { return {Kind::invalidURI, {}}; }
    /// No scheme, or a scheme other than "otpauth".
    static OTPAuthURIError unsupportedScheme() { return {Kind::unsupportedScheme, {}}; }
    /// No "secret" item, or an empty one.
    static OTPAuthURIError missingSecret() { return {Kind::missingSecret, {}}; }
    /// The secret is not Base32.
    static OTPAuthURIError invalidSecret() { return {Kind::invalidSecret, {}}; }
    /// Algorithm, digits or period unknown, unreadable or out of range.
    static OTPAuthURIError invalidParameters() { return {Kind::invalidParameters, {}}; }

    Kind kind() const { return kind_; }
    /// The lower-cased host, for unsupportedType; empty otherwise.
    const std::string& type() const { return type_; }
    std::string describe() const;

    bool operator==(const OTPAuthURIError&) const = default;

private:
    OTPAuthURIError(Kind kind, std::string type) : kind_(kind), type_(std::move(type)) {}

    Kind kind_;
    std::string type_;
};

} // namespace zemlar
