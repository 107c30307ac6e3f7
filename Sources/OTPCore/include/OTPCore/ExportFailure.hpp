// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zemlar {

/// Why another app's export gave nothing at all. A recognised export is read as a whole or not
/// at all: no failure leaves part of it imported.
enum class ExportFailure {
    /// The export is encrypted and no password was given.
    passwordNeeded,
    /// The password does not open the export (or the encrypted part is damaged).
    wrongPassword,
    /// The export is recognised but its content cannot be read.
    damaged,
    /// The export is locked to the exporting app's account and cannot be opened elsewhere.
    restricted,
    /// Opening the export asks for more memory than this machine can give.
    tooCostly
};

} // namespace zemlar

#include <string_view>

namespace zemlar::ExportFailures {

inline constexpr std::string_view passwordNeededText = "This export is protected by a password.";
inline constexpr std::string_view wrongPasswordText =
    "The password is wrong or the file is damaged.";
inline constexpr std::string_view damagedText = "The export is damaged: nothing was imported.";
inline constexpr std::string_view restrictedText =
    "This export can only be opened by the app's own account. Export again with a password of "
    "your own.";
inline constexpr std::string_view tooCostlyText =
    "Opening this export needs more memory than this computer can give.";

/// The text the import screen and the command line show for the failure.
std::string_view text(ExportFailure failure);

/// The case name, for the log: "wrongPassword".
std::string_view describe(ExportFailure failure);

} // namespace zemlar::ExportFailures
