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

/// The same folding always through ICU, without the shortcuts of folded() (ASCII, and Latin
/// texts mapped one code point at a time). Both give the same text for every input; this one
/// exists so that the shortcuts can be checked against it.
std::string foldedByICU(std::string_view text);

/// Full lower-case mapping with no locale, in composed form (NFC).
std::string lowercased(std::string_view text);

/// The same mapping always through ICU, without the shortcuts of lowercased().
std::string lowercasedByICU(std::string_view text);

/// White space or a line break: general category Z, U+0009 to U+000D or U+0085.
bool isWhitespaceOrNewline(char32_t codePoint);

/// A blank: tab or a space separator (general category Zs).
bool isBlank(char32_t codePoint);

/// A letter or a number: general category L or N.
bool isLetterOrNumber(char32_t codePoint);

/// Decodes the code point at `offset` and moves `offset` past it; an ill-formed sequence gives
/// U+FFFD. `offset` must be below text.size().
char32_t nextCodePoint(std::string_view text, std::size_t& offset);

/// Appends the UTF-8 form of a code point.
void appendCodePoint(std::string& text, char32_t codePoint);

/// The text with every ill-formed UTF-8 sequence replaced by U+FFFD.
std::string wellFormed(std::string_view text);

/// White space and line breaks (general category Z, U+0009 to U+000D, U+0085) removed from
/// both ends.
std::string trimmed(std::string_view text);

/// Blanks (tab and the space separators, general category Zs) removed from both ends; line
/// breaks stay.
std::string trimmedBlanks(std::string_view text);

/// Blanks and byte-order marks (U+FEFF) removed from both ends.
std::string trimmedBlanksAndByteOrderMarks(std::string_view text);

/// Upper case by the full Unicode case mapping ("ß" gives "SS"), without locale tailoring.
std::string uppercased(std::string_view text);

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
