// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/CodeFormat.hpp"

namespace zemlar::CodeFormat {

std::string grouped(std::string_view code) {
    if (code.size() < 5) {
        return std::string(code);
    }
    const std::size_t head = (code.size() + 1) / 2;
    std::string result;
    result.reserve(code.size() + 1);
    result.append(code.substr(0, head)).push_back(' ');
    result.append(code.substr(head));
    return result;
}

} // namespace zemlar::CodeFormat
