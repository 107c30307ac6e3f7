// SPDX-License-Identifier: GPL-3.0-or-later
// Sites::parseList on any bytes: never crashes, and every host it keeps is plausible, in lower
// case, without a dot at its end, and listed once.
#include <OTPCore/Sites.hpp>
#include <OTPCore/Unicode.hpp>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto hosts = zemlar::Sites::parseList(text);
    std::set<std::string> seen;
    for (const std::string& host : hosts) {
        if (host.empty() || host.back() == '.' || zemlar::Unicode::lowercased(host) != host ||
            !seen.insert(host).second || (host.find('.') == host.npos && host != "localhost")) {
            std::abort();
        }
    }
    return 0;
}
