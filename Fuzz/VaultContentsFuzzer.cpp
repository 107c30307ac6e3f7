// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a vault document: decoding never crashes, and what decodes encodes back to a
// document that decodes to the same contents.
#include <ZemlarKit/VaultContents.hpp>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto contents = zemlar::VaultContents::decode({data, size});
    if (!contents) {
        return 0;
    }
    const auto encoded = contents->encoded();
    if (!encoded) {
        return 0; // keys that are not valid UTF-8 cannot be written back
    }
    const auto again = zemlar::VaultContents::decode(*encoded);
    if (!again || *again != *contents) {
        std::abort();
    }
    return 0;
}
