// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
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

/// The file-browser order: ignores letter case, compares embedded numbers by value
/// ("Group 2" before "Group 10"). Negative, zero or positive like strcmp.
int localizedStandardCompare(std::string_view left, std::string_view right);

/// Normalization Form C (canonical composition): "e" + U+0301 becomes "é".
std::string nfc(std::string_view text);

/// User-perceived characters (extended grapheme clusters): an emoji sequence or a letter with
/// its combining marks counts once.
std::size_t characterCount(std::string_view text);

/// Equal under canonical equivalence: composed and decomposed forms of a text are equal.
bool isCanonicallyEquivalent(std::string_view left, std::string_view right);

} // namespace zemlar::Unicode
