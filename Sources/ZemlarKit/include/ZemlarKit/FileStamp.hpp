// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace zemlar {

/// One version of a file as its folder lists it, known without reading the file.
struct FileStamp {
    std::int64_t size = 0;
    /// The last modification, in nanoseconds since 1970.
    std::int64_t modified = 0;

    bool operator==(const FileStamp&) const = default;
};

} // namespace zemlar
