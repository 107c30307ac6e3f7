// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes either decode or are refused; decoded groups survive a write and a second read.
#include <OTPCore/GroupsCodec.hpp>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto groups = zemlar::GroupsCodec::decode({data, size});
    if (!groups) {
        return 0;
    }
    const auto encoded = zemlar::GroupsCodec::encode(*groups);
    if (!encoded || zemlar::GroupsCodec::decode(*encoded) != groups) {
        std::abort();
    }
    return 0;
}
