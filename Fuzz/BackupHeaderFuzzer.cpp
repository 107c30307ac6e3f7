// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a backup file: reading the header must give a header or an error, never crash.
#include <OTPCore/BackupCodec.hpp>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header = zemlar::BackupCodec::header({data, size});
    if (header) {
        // Whatever was accepted must carry the only algorithms this reader knows.
        if (header->format != zemlar::BackupHeader::currentFormat || header->kdf.salt.empty() ||
            header->kdf.iterations < 100'000 || header->kdf.iterations > 10'000'000) {
            std::abort();
        }
        (void)header->authenticatedData();
    } else {
        (void)header.error().describe();
    }
    return 0;
}
