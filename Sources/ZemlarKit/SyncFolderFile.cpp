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
    auto bytes = BoundedRead::readAll(input.fd, BoundedRead::wholeFileLimit,
                                      static_cast<std::size_t>(status.st_size));
    if (!bytes) {
        return fail(bytes.error() == BoundedRead::Error::tooLarge ? BackupFileError::tooLarge()
                                                                  : BackupFileError::readFailed());
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
