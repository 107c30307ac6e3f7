// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ChosenFile.hpp"

#include <OTPCore/Crypto.hpp>
#include <QFile>
#include <algorithm>
#include <array>

namespace zemlar::ChosenFile {

Result<Bytes, ReadError> read(const std::filesystem::path& at, std::size_t limit) {
    QFile file(QString::fromStdString(at.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(ReadError::unreadable);
    }
    Bytes bytes;
    // Reserved up front: for a regular file the buffer then never grows, which would leave
    // partial copies in freed memory.
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), limit) + 1);
    Crypto::Wiped<std::array<char, 64 * 1024>> chunk;
    for (;;) {
        const qint64 count = file.read(chunk->data(), static_cast<qint64>(chunk->size()));
        if (count < 0) {
            Crypto::wipe(bytes);
            return fail(ReadError::unreadable);
        }
        if (count == 0) {
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(count) > limit) {
            Crypto::wipe(bytes);
            return fail(ReadError::tooLarge);
        }
        bytes.insert(bytes.end(), chunk->begin(), chunk->begin() + count);
    }
}

} // namespace zemlar::ChosenFile
