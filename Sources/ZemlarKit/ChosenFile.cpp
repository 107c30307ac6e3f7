// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ChosenFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar::ChosenFile {

Result<Bytes, ReadError> read(const std::filesystem::path& at, std::size_t limit) {
    const int descriptor = ::open(at.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return fail(ReadError::unreadable);
    }
    struct stat status {};
    const std::size_t expected = ::fstat(descriptor, &status) == 0 && status.st_size > 0
                                     ? static_cast<std::size_t>(status.st_size)
                                     : 0;
    auto bytes = BoundedRead::readAll(descriptor, limit, expected);
    ::close(descriptor);
    return bytes;
}

} // namespace zemlar::ChosenFile
