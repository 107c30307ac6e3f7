// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zemlar {

/// Why a new backup passphrase and its confirmation are not accepted yet.
class BackupPassphraseProblem {
public:
    enum class Kind { tooShort, mismatch };

    /// Fewer user-perceived characters than `minimum`.
    static BackupPassphraseProblem tooShort(std::int64_t minimum) {
        return {Kind::tooShort, minimum};
    }
    /// The confirmation is not the passphrase (up to composed against decomposed forms).
    static BackupPassphraseProblem mismatch() { return {Kind::mismatch, 0}; }

    Kind kind() const { return kind_; }
    /// The required length, for tooShort; 0 otherwise.
    std::int64_t minimum() const { return minimum_; }
    std::string describe() const;

    bool operator==(const BackupPassphraseProblem&) const = default;

private:
    BackupPassphraseProblem(Kind kind, std::int64_t minimum) : kind_(kind), minimum_(minimum) {}

    Kind kind_;
    std::int64_t minimum_;
};

namespace BackupPassphrase {

inline constexpr std::int64_t minimumLength = 6;

/// Nothing when the pair is acceptable; otherwise the first problem: too short, then mismatch.
/// No upper limit, no character classes, white space counts as it is.
std::optional<BackupPassphraseProblem> problem(std::string_view passphrase,
                                               std::string_view confirmation);

} // namespace BackupPassphrase
} // namespace zemlar
