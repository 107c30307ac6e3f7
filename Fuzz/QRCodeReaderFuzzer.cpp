// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as image data: reading QR codes never crashes, and the payloads are distinct.
#include <ZemlarKit/QRCodeReader.hpp>
#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto payloads = zemlar::QRCodeReader::payloads({data, size});
    if (!payloads) {
        return 0;
    }
    auto sorted = *payloads;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
        std::abort();
    }
    return 0;
}
