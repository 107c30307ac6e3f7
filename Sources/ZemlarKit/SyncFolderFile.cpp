// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SyncFolderFile.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar::SyncFolderFile {
namespace {

/// Closes the descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

/// Reads to the end, but stops one byte past the limit: a file that grew after its size was
/// checked is still refused without being read whole.
Result<Bytes, BackupFileError> readToEnd(int fd, std::int64_t expectedSize) {
    Bytes bytes;
    bytes.reserve(static_cast<std::size_t>(expectedSize));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return fail(BackupFileError::readFailed());
        }
        if (count == 0) {
            return bytes;
        }
        bytes.insert(bytes.end(), buffer, buffer + count);
        if (static_cast<std::int64_t>(bytes.size()) > sizeLimit) {
            return fail(BackupFileError::tooLarge());
        }
    }
}

} // namespace

Result<std::optional<Bytes>, BackupFileError> read(const std::filesystem::path& file) {
    // O_NONBLOCK keeps a planted named pipe from blocking the open; it is refused below.
    const Descriptor input{::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (input.fd < 0) {
        if (errno == ENOENT) {
            return std::optional<Bytes>{};
        }
        return fail(BackupFileError::readFailed());
    }
    struct stat status {};
    if (::fstat(input.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return fail(BackupFileError::readFailed());
    }
    if (status.st_size > sizeLimit) {
        return fail(BackupFileError::tooLarge());
    }
    auto bytes = readToEnd(input.fd, status.st_size);
    if (!bytes) {
        return fail(bytes.error());
    }
    return std::optional<Bytes>(std::move(*bytes));
}

std::optional<FileStamp> stamp(const std::filesystem::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0) {
        return std::nullopt;
    }
    constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;
    return FileStamp{.size = status.st_size,
                     .modified =
                         static_cast<std::int64_t>(status.st_mtim.tv_sec) * nanosecondsPerSecond +
                         status.st_mtim.tv_nsec};
}

} // namespace zemlar::SyncFolderFile
