// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zemlar {

/// Why the manual-entry form was refused; the first failing check decides.
class ManualEntryError {
public:
    enum class Kind { emptyTitle, invalidSecret, invalidParameters };

    static constexpr std::string_view emptyTitleText = "Enter an issuer or a name";
    static constexpr std::string_view invalidSecretText =
        "The key doesn't look like Base32: only letters A–Z and digits 2–7 are allowed";
    static constexpr std::string_view invalidParametersText = "Invalid code parameters";

    /// Issuer and name are both empty after trimming.
    static ManualEntryError emptyTitle() { return ManualEntryError(Kind::emptyTitle); }
    /// The key is not Base32, or empty.
    static ManualEntryError invalidSecret() { return ManualEntryError(Kind::invalidSecret); }
    /// Digits outside 6 to 8, or a period below 1.
    static ManualEntryError invalidParameters() {
        return ManualEntryError(Kind::invalidParameters);
    }

    Kind kind() const { return kind_; }
    /// The sentence the import screen shows for this error.
    std::string_view text() const;
    std::string describe() const;

    bool operator==(const ManualEntryError&) const = default;

private:
    explicit ManualEntryError(Kind kind) : kind_(kind) {}

    Kind kind_;
};

} // namespace zemlar

template <> struct std::hash<zemlar::ManualEntryError> {
    std::size_t operator()(const zemlar::ManualEntryError& error) const noexcept {
        return std::hash<int>{}(static_cast<int>(error.kind()));
    }
};
