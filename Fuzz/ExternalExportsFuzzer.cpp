// SPDX-License-Identifier: GPL-3.0-or-later
// Any file content, read as other apps' exports with the two passwords the seeds use: no reader
// crashes, and whatever one gives is at most one account per input byte, each with a secret. Key
// derivation costs are capped far below real ones so that no input can ask for a huge one.
#include <OTPCore/ExportCostLimit.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zemlar::ExternalExports::limitCosts({.memoryBytes = 1 << 20, .iterations = 1000});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    for (const std::string_view password : {"test", "password"}) {
        const auto read = ExternalExports::read(content, password);
        if (!read || !*read) {
            continue;
        }
        if ((*read)->entries.size() + (*read)->skipped.size() > size) {
            std::abort();
        }
        for (const auto& entry : (*read)->entries) {
            if (entry.secret.empty()) {
                std::abort();
            }
        }
    }
    return 0;
}
