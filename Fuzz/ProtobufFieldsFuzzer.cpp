// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes: the reader never crashes, and the fields it gives never hold more content than
// the input had.
#include <OTPCore/Protobuf.hpp>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    const auto fields = Protobuf::fields(std::span<const std::uint8_t>(data, size));
    if (!fields) {
        return 0;
    }
    std::size_t content = 0;
    for (const Protobuf::Field& field : *fields) {
        if (field.number < 1 || field.number > 2147483647) {
            std::abort();
        }
        if (const Bytes* bytes = field.value.bytesValue()) {
            content += bytes->size();
        }
    }
    if (content > size || fields->size() > size) {
        std::abort();
    }
    return 0;
}
