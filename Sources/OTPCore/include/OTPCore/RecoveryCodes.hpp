// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The text form of an account's recovery codes: one code per line.
namespace zemlar::RecoveryCodes {

/// The codes of a pasted text: its lines (any line break, CR LF counting as one), trimmed of
/// blanks at both ends, without empty ones and without repeats (the first occurrence stays;
/// comparison is exact). Ill-formed UTF-8 is read as U+FFFD.
std::vector<std::string> parse(std::string_view text);

/// The codes joined with single line feeds, without one at the end.
std::string text(const std::vector<std::string>& codes);

} // namespace zemlar::RecoveryCodes
