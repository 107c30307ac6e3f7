// SPDX-License-Identifier: GPL-3.0-or-later
// Any text: parse never crashes, and the link made from every entry it gives reads back as
// the same entry (its issuer and name carry no blanks at either end).
#include <OTPCore/OTPAuthURI.hpp>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entry = OTPAuthURI::parse(text);
    if (!entry) {
        return 0;
    }
    if (entry->secret.empty()) {
        std::abort();
    }
    const std::string link =
        OTPAuthURI::make(entry->issuer, entry->name, entry->secret, entry->parameters);
    const auto again = OTPAuthURI::parse(link);
    if (!again || *again != *entry) {
        std::abort();
    }
    return 0;
}
