// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/ImportParser.hpp"

#include "OTPCore/OTPAuthURI.hpp"
#include "OTPCore/OTPMigration.hpp"
#include "OTPCore/Unicode.hpp"

#include <unicode/utf8.h>

namespace zemlar::ImportParser {
namespace {

bool isLineBreak(UChar32 codePoint) {
    return (codePoint >= 0x0A && codePoint <= 0x0D) || codePoint == 0x85 || codePoint == 0x2028 ||
           codePoint == 0x2029;
}

// The pieces between line breaks, empty ones dropped.
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> pieces;
    const auto length = static_cast<int32_t>(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    int32_t start = 0;
    int32_t index = 0;
    while (index < length) {
        const int32_t breakStart = index;
        UChar32 codePoint;
        U8_NEXT(bytes, index, length, codePoint);
        if (isLineBreak(codePoint)) {
            if (breakStart > start) {
                pieces.push_back(text.substr(static_cast<std::size_t>(start),
                                             static_cast<std::size_t>(breakStart - start)));
            }
            start = index;
        }
    }
    if (length > start) {
        pieces.push_back(text.substr(static_cast<std::size_t>(start)));
    }
    return pieces;
}

ImportBatch skip(ImportSkipReason reason) {
    ImportBatch batch;
    batch.skipped.push_back({"", reason});
    return batch;
}

ImportBatch parseLine(const std::string& line) {
    // Only the scheme is compared: lower-casing the whole line would copy the secret.
    const std::string lowered = Unicode::lowercased(std::string_view(line).substr(0, 32));
    if (lowered.starts_with("otpauth-migration://")) {
        auto batch = OTPMigration::parse(line);
        return batch ? std::move(*batch) : skip(ImportSkipReason::invalid);
    }
    if (lowered.starts_with("otpauth://")) {
        auto entry = OTPAuthURI::parse(line);
        if (entry) {
            ImportBatch batch;
            batch.entries.push_back(std::move(*entry));
            return batch;
        }
        const bool counterBased = entry.error().kind() == OTPAuthURIError::Kind::unsupportedType &&
                                  entry.error().type() == "hotp";
        return skip(counterBased ? ImportSkipReason::hotp : ImportSkipReason::invalid);
    }
    return skip(ImportSkipReason::unrecognized);
}

} // namespace

ImportBatch parse(std::string_view text) {
    ImportBatch result;
    for (const std::string_view piece : lines(text)) {
        const std::string line = Unicode::trimmedBlanksAndByteOrderMarks(piece);
        if (!line.empty()) {
            result.append(parseLine(line));
        }
    }
    return result;
}

} // namespace zemlar::ImportParser
