// SPDX-License-Identifier: GPL-3.0-or-later
// Any text either decodes or is refused; what decodes re-encodes to a text that decodes the same.
#include <OTPCore/Base32.hpp>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto decoded = zemlar::Base32::decode(text);
    if (decoded) {
        if (decoded->empty() ||
            zemlar::Base32::decode(zemlar::Base32::encode(*decoded)) != decoded) {
            std::abort();
        }
    }
    return 0;
}
