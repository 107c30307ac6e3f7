// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes either decode or are refused; a decoded list survives a write and a second read.
#include <OTPCore/AccountsCodec.hpp>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto accounts = zemlar::AccountsCodec::decode({data, size});
    if (!accounts) {
        return 0;
    }
    const auto encoded = zemlar::AccountsCodec::encode(*accounts);
    if (encoded && !zemlar::AccountsCodec::decode(*encoded)) {
        std::abort();
    }
    return 0;
}
