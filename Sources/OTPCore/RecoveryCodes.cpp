// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/RecoveryCodes.hpp"

#include "OTPCore/Unicode.hpp"

#include <unordered_set>

namespace zemlar::RecoveryCodes {
namespace {

bool isLineBreak(char32_t codePoint) {
    return (codePoint >= 0x0A && codePoint <= 0x0D) || codePoint == 0x85 || codePoint == 0x2028 ||
           codePoint == 0x2029;
}

std::string encoded(std::u32string_view codePoints) {
    std::string text;
    text.reserve(codePoints.size());
    for (const char32_t codePoint : codePoints) {
        Unicode::appendCodePoint(text, codePoint);
    }
    return text;
}

std::u32string_view withoutBlanksAtEnds(std::u32string_view line) {
    while (!line.empty() && Unicode::isBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && Unicode::isBlank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

std::vector<std::string> parse(std::string_view text) {
    std::vector<std::string> codes;
    std::unordered_set<std::string> seen;
    std::u32string line;
    const auto finishLine = [&] {
        const std::u32string_view code = withoutBlanksAtEnds(line);
        if (!code.empty()) {
            std::string encodedCode = encoded(code);
            if (seen.insert(encodedCode).second) {
                codes.push_back(std::move(encodedCode));
            }
        }
        line.clear();
    };
    for (std::size_t offset = 0; offset < text.size();) {
        const char32_t codePoint = Unicode::nextCodePoint(text, offset);
        if (isLineBreak(codePoint)) {
            finishLine();
        } else {
            line.push_back(codePoint);
        }
    }
    finishLine();
    return codes;
}

std::string text(const std::vector<std::string>& codes) {
    std::string joined;
    for (std::size_t index = 0; index < codes.size(); ++index) {
        if (index > 0) {
            joined.push_back('\n');
        }
        joined.append(codes[index]);
    }
    return joined;
}

} // namespace zemlar::RecoveryCodes
