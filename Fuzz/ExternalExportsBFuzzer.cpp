// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes through the password manager, Ente Auth, Proton Authenticator and Stratum readers
// with a fixed password: no crash, and every entry has a secret. Key derivation costs are
// capped far below the real ones so that no input can ask for a huge derivation.
#include <OTPCore/ExportCostLimit.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> formatNames = {
    "Bitwarden", "Bitwarden (CSV)", "Ente Auth", "Proton Authenticator", "Stratum"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zemlar::ExternalExports::limitCosts({.memoryBytes = 1 << 20, .iterations = 1000});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    for (const auto& format : ExternalExports::formats()) {
        if (std::ranges::find(formatNames, format.name) == formatNames.end() ||
            !format.recognises(content)) {
            continue;
        }
        const auto batch = format.read(content, "password");
        if (!batch) {
            continue;
        }
        for (const auto& entry : batch->entries) {
            if (entry.secret.empty()) {
                std::abort();
            }
        }
    }
    return 0;
}
