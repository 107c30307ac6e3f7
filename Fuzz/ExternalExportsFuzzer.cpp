// SPDX-License-Identifier: GPL-3.0-or-later
// Any file content, read as other apps' exports with the samples' password: no reader crashes,
// and whatever one gives is at most one account per input byte, each with a secret.
#include <OTPCore/ExternalExports.hpp>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto read = ExternalExports::read(content, "test");
    if (!read || !*read) {
        return 0;
    }
    if ((*read)->entries.size() + (*read)->skipped.size() > size) {
        std::abort();
    }
    for (const auto& entry : (*read)->entries) {
        if (entry.secret.empty()) {
            std::abort();
        }
    }
    return 0;
}
