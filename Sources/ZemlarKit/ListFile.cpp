// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ListFile.hpp"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar::ListFile {
namespace {

constexpr mode_t folderMode = 0700;
constexpr mode_t fileMode = 0600;

/// Closes the descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return "/";
}

bool writeAll(int fd, const Bytes& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

/// Every missing folder of the path, made 0700; existing folders are left as they are.
bool makeFolders(const std::filesystem::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) {
        return S_ISDIR(status.st_mode);
    }
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !makeFolders(folder.parent_path())) {
        return false;
    }
    if (::mkdir(folder.c_str(), folderMode) != 0 && errno != EEXIST) {
        return false;
    }
    return ::chmod(folder.c_str(), folderMode) == 0;
}

bool syncFolder(const std::filesystem::path& folder) {
    const Descriptor directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return directory.fd >= 0 && ::fsync(directory.fd) == 0;
}

} // namespace

std::filesystem::path dataFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && std::filesystem::path(dataHome).is_absolute()) {
        return std::filesystem::path(dataHome) / "Zemlar";
    }
    return homeFolder() / ".local" / "share" / "Zemlar";
}

Result<std::optional<Bytes>, AccountStoreError> read(const std::filesystem::path& file) {
    const Descriptor input{::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (input.fd < 0) {
        if (errno == ENOENT) {
            return std::optional<Bytes>{};
        }
        return fail(AccountStoreError::readFailed());
    }
    Bytes bytes;
    std::uint8_t buffer[16384];
    for (;;) {
        const ssize_t count = ::read(input.fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return fail(AccountStoreError::readFailed());
        }
        if (count == 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    return std::optional<Bytes>(std::move(bytes));
}

Result<void, AccountStoreError> write(const std::filesystem::path& file, const Bytes& bytes) {
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    if (!makeFolders(folder)) {
        return fail(AccountStoreError::writeFailed());
    }
    std::string temporary = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    // mkstemp creates the file 0600 before a single byte is in it.
    const Descriptor output{::mkstemp(temporary.data())};
    if (output.fd < 0) {
        return fail(AccountStoreError::writeFailed());
    }
    const bool written = ::fchmod(output.fd, fileMode) == 0 && writeAll(output.fd, bytes) &&
                         ::fsync(output.fd) == 0 && ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return fail(AccountStoreError::writeFailed());
    }
    // The new file is in place and complete once renamed; a failed flush of the folder must not
    // be reported as a failed save, or a caller would undo a change that is already visible.
    (void)syncFolder(folder);
    return {};
}

} // namespace zemlar::ListFile
