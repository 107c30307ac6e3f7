// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/Unicode.hpp"

#include "OTPCore/Crypto.hpp"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <unicode/ubrk.h>
#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>
#include <vector>

namespace zemlar::Unicode {
namespace {

using UText16 = std::vector<UChar>;

UText16 toUTF16(std::string_view text) {
    UText16 result(text.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(result.data(), static_cast<int32_t>(result.size()), &length, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    result.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return result;
}

std::string toUTF8(const UText16& text) {
    std::string result(text.size() * 3 + 1, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(result.data(), static_cast<int32_t>(result.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    result.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return result;
}

// Runs a sizing ICU call (preflight, then fill) over a UTF-16 text.
// Runs a sizing ICU call over a UTF-16 text: first into a buffer that nearly always suffices,
// again with the size ICU asked for when it did not.
template <class Transform> UText16 transformed(const UText16& input, Transform transform) {
    UText16 output(input.size() * 2 + 16);
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = transform(input, output.data(), static_cast<int32_t>(output.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        output.resize(static_cast<std::size_t>(needed) + 1);
        status = U_ZERO_ERROR;
        needed = transform(input, output.data(), static_cast<int32_t>(output.size()), &status);
    }
    if (U_FAILURE(status)) {
        return input;
    }
    output.resize(static_cast<std::size_t>(needed));
    return output;
}

UText16 normalized(const UText16& text, const UNormalizer2* normalizer) {
    return transformed(
        text, [normalizer](const UText16& in, UChar* out, int32_t capacity, UErrorCode* status) {
            return unorm2_normalize(normalizer, in.data(), static_cast<int32_t>(in.size()), out,
                                    capacity, status);
        });
}

UText16 withoutNonspacingMarks(const UText16& text) {
    UText16 result;
    result.reserve(text.size());
    int32_t index = 0;
    const auto length = static_cast<int32_t>(text.size());
    while (index < length) {
        const int32_t start = index;
        UChar32 codePoint;
        U16_NEXT(text.data(), index, length, codePoint);
        if (u_charType(codePoint) != U_NON_SPACING_MARK) {
            result.insert(result.end(), text.begin() + start, text.begin() + index);
        }
    }
    return result;
}

UText16 caseFolded(const UText16& text) {
    return transformed(
        text, [](const UText16& in, UChar* out, int32_t capacity, UErrorCode* status) {
            return u_strFoldCase(out, capacity, in.data(), static_cast<int32_t>(in.size()),
                                 U_FOLD_CASE_DEFAULT, status);
        });
}

bool isASCII(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char character) { return static_cast<unsigned char>(character) < 0x80; });
}

// Below U+0250 (Latin-1, Latin Extended-A and -B) no code point is a combining mark, and none
// that folding or lower-casing leaves combines with a neighbour, so a text of such code points
// maps one code point at a time; each one's image is computed once, by ICU.
constexpr char32_t tableStart = 0x80;
constexpr char32_t tableEnd = 0x250;
using CodePointTable = std::array<std::string, tableEnd - tableStart>;

template <class Mapping> CodePointTable tableOf(Mapping mapping) {
    CodePointTable table;
    for (char32_t codePoint = tableStart; codePoint < tableEnd; ++codePoint) {
        std::string single;
        appendCodePoint(single, codePoint);
        table[codePoint - tableStart] = mapping(single);
    }
    return table;
}

std::optional<std::string> mappedByTable(std::string_view text, const CodePointTable& table) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t offset = 0; offset < text.size();) {
        const char32_t codePoint = nextCodePoint(text, offset);
        if (codePoint < tableStart) {
            const auto character = static_cast<char>(codePoint);
            result.push_back(character >= 'A' && character <= 'Z'
                                 ? static_cast<char>(character + 32)
                                 : character);
        } else if (codePoint < tableEnd) {
            result.append(table[codePoint - tableStart]);
        } else {
            return std::nullopt;
        }
    }
    return result;
}

// The text without the code points at either end for which `drop` holds.
template <class Predicate> std::string trimmedWhere(std::string_view text, Predicate drop) {
    const auto length = static_cast<int32_t>(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    int32_t start = 0;
    while (start < length) {
        int32_t next = start;
        UChar32 codePoint;
        U8_NEXT(bytes, next, length, codePoint);
        if (codePoint < 0 || !drop(codePoint)) {
            break;
        }
        start = next;
    }
    int32_t end = length;
    while (end > start) {
        int32_t previous = end;
        UChar32 codePoint;
        U8_PREV(bytes, start, previous, codePoint);
        if (codePoint < 0 || !drop(codePoint)) {
            break;
        }
        end = previous;
    }
    return std::string(
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

struct CaseMapCloser {
    void operator()(UCaseMap* caseMap) const { ucasemap_close(caseMap); }
};

using CaseMapping = int32_t (*)(const UCaseMap*, char*, int32_t, const char*, int32_t, UErrorCode*);

std::string caseMapped(std::string_view text, CaseMapping mapping, char (*ascii)(char)) {
    if (isASCII(text)) {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(), ascii);
        return result;
    }
    thread_local std::unique_ptr<UCaseMap, CaseMapCloser> caseMap([] {
        UErrorCode status = U_ZERO_ERROR;
        return ucasemap_open("", U_FOLD_CASE_DEFAULT, &status);
    }());
    const std::string input = wellFormed(text);
    std::string result(input.size() * 3 + 4, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        mapping(caseMap.get(), result.data(), static_cast<int32_t>(result.size()), input.data(),
                static_cast<int32_t>(input.size()), &status);
    if (U_FAILURE(status)) {
        return input;
    }
    result.resize(static_cast<std::size_t>(length));
    return result;
}

char asciiUpper(char character) {
    return character >= 'a' && character <= 'z' ? static_cast<char>(character - 32) : character;
}

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

UCollator* openStandardCollator() {
    const char* locale = uloc_getDefault();
    // The POSIX locale tailors collation to code-point order; the root order is what people expect.
    if (std::string_view(locale) == "en_US_POSIX" || std::string_view(locale) == "c") {
        locale = "";
    }
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(locale, &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator = ucol_open("", &status);
    }
    ucol_setStrength(collator, UCOL_SECONDARY);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    return collator;
}

void wipe(UText16& text) {
    Crypto::wipe({reinterpret_cast<std::uint8_t*>(text.data()), text.size() * sizeof(UChar)});
}

struct BreakIteratorCloser {
    void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
};

} // namespace

std::string folded(std::string_view text) {
    if (isASCII(text)) {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(), [](char character) {
            return character >= 'A' && character <= 'Z' ? static_cast<char>(character + 32)
                                                        : character;
        });
        return result;
    }
    static const CodePointTable table = tableOf(foldedByICU);
    if (auto mapped = mappedByTable(text, table)) {
        return std::move(*mapped);
    }
    return foldedByICU(text);
}

std::string foldedByICU(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) {
        return std::string(text);
    }
    const UText16 decomposed = normalized(toUTF16(text), nfd);
    return toUTF8(normalized(caseFolded(withoutNonspacingMarks(decomposed)), nfc));
}

std::string lowercased(std::string_view text) {
    if (isASCII(text)) {
        return folded(text);
    }
    static const CodePointTable table = tableOf(lowercasedByICU);
    if (auto mapped = mappedByTable(text, table)) {
        return std::move(*mapped);
    }
    return lowercasedByICU(text);
}

std::string lowercasedByICU(std::string_view text) {
    const UText16 lower = transformed(toUTF16(text), [](const UText16& in, UChar* out,
                                                        int32_t capacity, UErrorCode* status) {
        return u_strToLower(out, capacity, in.data(), static_cast<int32_t>(in.size()), "", status);
    });
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) {
        return toUTF8(lower);
    }
    return toUTF8(normalized(lower, nfc));
}

bool isWhitespaceOrNewline(char32_t codePoint) {
    if ((codePoint >= 0x09 && codePoint <= 0x0D) || codePoint == 0x20 || codePoint == 0x85) {
        return true;
    }
    if (codePoint < 0x80) {
        return false;
    }
    return (U_GET_GC_MASK(static_cast<UChar32>(codePoint)) & U_GC_Z_MASK) != 0;
}

bool isBlank(char32_t codePoint) {
    if (codePoint < 0x80) {
        return codePoint == 0x09 || codePoint == 0x20;
    }
    return u_charType(static_cast<UChar32>(codePoint)) == U_SPACE_SEPARATOR;
}

bool isLetterOrNumber(char32_t codePoint) {
    if (codePoint < 0x80) {
        return (codePoint >= 'a' && codePoint <= 'z') || (codePoint >= 'A' && codePoint <= 'Z') ||
               (codePoint >= '0' && codePoint <= '9');
    }
    return (U_GET_GC_MASK(static_cast<UChar32>(codePoint)) & (U_GC_L_MASK | U_GC_N_MASK)) != 0;
}

char32_t nextCodePoint(std::string_view text, std::size_t& offset) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    if (byte < 0x80) {
        ++offset;
        return byte;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    auto index = static_cast<int32_t>(offset);
    UChar32 codePoint;
    U8_NEXT(bytes, index, static_cast<int32_t>(text.size()), codePoint);
    offset = static_cast<std::size_t>(index);
    return codePoint < 0 ? char32_t{0xFFFD} : static_cast<char32_t>(codePoint);
}

void appendCodePoint(std::string& text, char32_t codePoint) {
    char buffer[U8_MAX_LENGTH];
    int32_t length = 0;
    UBool error = false;
    U8_APPEND(reinterpret_cast<std::uint8_t*>(buffer), length, U8_MAX_LENGTH,
              static_cast<UChar32>(codePoint), error);
    if (error) {
        text.append("\xEF\xBF\xBD");
        return;
    }
    text.append(buffer, static_cast<std::size_t>(length));
}

std::string wellFormed(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t offset = 0;
    while (offset < text.size()) {
        appendCodePoint(result, nextCodePoint(text, offset));
    }
    return result;
}

std::string trimmed(std::string_view text) {
    return trimmedWhere(text, isWhitespaceOrNewline);
}

std::string trimmedBlanks(std::string_view text) {
    return trimmedWhere(text, isBlank);
}

std::string trimmedBlanksAndByteOrderMarks(std::string_view text) {
    return trimmedWhere(
        text, [](UChar32 codePoint) { return codePoint == 0xFEFF || isBlank(codePoint); });
}

std::string uppercased(std::string_view text) {
    return caseMapped(text, ucasemap_utf8ToUpper, asciiUpper);
}

int localizedStandardCompare(std::string_view left, std::string_view right) {
    thread_local std::unique_ptr<UCollator, CollatorCloser> collator(openStandardCollator());
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        ucol_strcollUTF8(collator.get(), left.data(), static_cast<int32_t>(left.size()),
                         right.data(), static_cast<int32_t>(right.size()), &status);
    if (U_FAILURE(status)) {
        return left.compare(right);
    }
    return static_cast<int>(result);
}

std::string nfc(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* normalizer = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) {
        return std::string(text);
    }
    UText16 utf16 = toUTF16(text);
    UText16 composed = normalized(utf16, normalizer);
    std::string result = toUTF8(composed);
    // The texts may be passphrases: leave no copies behind.
    wipe(utf16);
    wipe(composed);
    return result;
}

std::size_t characterCount(std::string_view text) {
    const UText16 utf16 = toUTF16(text);
    if (utf16.empty()) {
        return 0;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBreakIterator, BreakIteratorCloser> iterator(
        ubrk_open(UBRK_CHARACTER, "", utf16.data(), static_cast<int32_t>(utf16.size()), &status));
    if (U_FAILURE(status)) {
        return utf16.size();
    }
    std::size_t count = 0;
    ubrk_first(iterator.get());
    while (ubrk_next(iterator.get()) != UBRK_DONE) {
        ++count;
    }
    return count;
}

bool isCanonicallyEquivalent(std::string_view left, std::string_view right) {
    if (left == right) {
        return true;
    }
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    if (U_FAILURE(status)) {
        return false;
    }
    return normalized(toUTF16(left), nfd) == normalized(toUTF16(right), nfd);
}

} // namespace zemlar::Unicode
