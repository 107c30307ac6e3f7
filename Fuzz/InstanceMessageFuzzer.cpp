// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes on the single-instance socket: taking frames never crashes, always shortens the
// buffer, and a request or reply that decodes encodes to one whole frame that decodes again.
#include "InstanceRequest.hpp"

#include <cstdint>
#include <cstdlib>

namespace {

template <typename Take> void takeAll(QByteArray buffer, Take take) {
    using namespace zemlar::InstanceMessage;
    while (check(buffer) == Frame::whole) {
        const qsizetype before = buffer.size();
        const auto message = take(buffer);
        if (buffer.size() >= before) {
            std::abort();
        }
        if (message) {
            QByteArray again = encode(*message);
            if (!take(again) || !again.isEmpty()) {
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zemlar::InstanceMessage;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    takeAll(bytes, [](QByteArray& buffer) { return takeRequest(buffer); });
    takeAll(bytes, [](QByteArray& buffer) { return takeReply(buffer); });
    return 0;
}
