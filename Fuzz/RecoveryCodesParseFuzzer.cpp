// SPDX-License-Identifier: GPL-3.0-or-later
// RecoveryCodes::parse on any bytes: never crashes, and its text form parses back to the same
// codes.
#include <OTPCore/RecoveryCodes.hpp>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto codes = zemlar::RecoveryCodes::parse(text);
    for (const std::string& code : codes) {
        if (code.empty()) {
            std::abort();
        }
    }
    if (zemlar::RecoveryCodes::parse(zemlar::RecoveryCodes::text(codes)) != codes) {
        std::abort();
    }
    return 0;
}
