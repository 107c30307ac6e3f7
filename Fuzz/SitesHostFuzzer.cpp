// SPDX-License-Identifier: GPL-3.0-or-later
// Sites::host on any bytes: never crashes, and a host it gives is non-empty, in lower case and
// without a dot at its end.
#include <OTPCore/Sites.hpp>
#include <OTPCore/Unicode.hpp>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto host = zemlar::Sites::host(text)) {
        if (host->empty() || host->back() == '.' || zemlar::Unicode::lowercased(*host) != *host) {
            std::abort();
        }
    }
    return 0;
}
