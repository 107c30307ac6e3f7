// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

/// Unicode text rules shared by the list and search logic. All texts are UTF-8; ill-formed
/// sequences are read as U+FFFD.
namespace zemlar::Unicode {

/// Case folding and removal of diacritics (combining marks), with no locale: "Éclair" and
/// "eclair" fold to the same text. Compatibility forms (full-width letters) are kept.
std::string folded(std::string_view text);

/// White space and line breaks (general category Z, U+0009 to U+000D, U+0085) removed from
/// both ends.
std::string trimmed(std::string_view text);

/// Blanks (tab and the space separators, general category Zs) removed from both ends; line
/// breaks stay.
std::string trimmedBlanks(std::string_view text);

/// Blanks and byte-order marks (U+FEFF) removed from both ends.
std::string trimmedBlanksAndByteOrderMarks(std::string_view text);

/// Lower case by the full Unicode case mapping, without locale tailoring.
std::string lowercased(std::string_view text);

/// Upper case by the full Unicode case mapping ("ß" gives "SS"), without locale tailoring.
std::string uppercased(std::string_view text);

/// The bytes read as UTF-8, every ill-formed sequence replaced by U+FFFD.
std::string repairedUTF8(std::string_view bytes);

/// The file-browser order: ignores letter case, compares embedded numbers by value
/// ("Group 2" before "Group 10"). Negative, zero or positive like strcmp.
int localizedStandardCompare(std::string_view left, std::string_view right);

} // namespace zemlar::Unicode
