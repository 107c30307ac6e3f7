// SPDX-License-Identifier: GPL-3.0-or-later
// Any text: the parser never crashes and never reports more than one result per input byte.
#include <OTPCore/ImportParser.hpp>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ImportBatch batch = ImportParser::parse(text);
    // A line costs at least one byte, an exported account at least two bytes of Base64.
    if (batch.skipped.size() + batch.entries.size() > size) {
        std::abort();
    }
    for (const auto& entry : batch.entries) {
        if (entry.secret.empty()) {
            std::abort();
        }
    }
    return 0;
}
