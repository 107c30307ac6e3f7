// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/StoreGate.hpp"

#include "ZemlarKit/ListFile.hpp"

#include <QThreadPool>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zemlar {
namespace {

std::mutex gate;
// Both guarded by the gate.
std::filesystem::path lockFile;
int lockedFile = -1;

thread_local int holdsOnThisThread = 0;

/// A pool thread that has to wait lends its place in the pool meanwhile: with writers queued
/// behind a long import, a screen loading its list must still find a free thread.
class PoolWait {
public:
    PoolWait() { QThreadPool::globalInstance()->releaseThread(); }
    ~PoolWait() { QThreadPool::globalInstance()->reserveThread(); }
    PoolWait(const PoolWait&) = delete;
    PoolWait& operator=(const PoolWait&) = delete;
};

int openLockFile(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    std::error_code ignored;
    std::filesystem::create_directories(folder.parent_path(), ignored);
    ::mkdir(folder.c_str(), 0700);
    return ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool lockExclusively(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    if (errno != EWOULDBLOCK) {
        return false;
    }
    const PoolWait wait;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

void enter() {
    if (!gate.try_lock()) {
        const PoolWait wait;
        gate.lock();
    }
    if (lockFile.empty()) {
        return;
    }
    lockedFile = openLockFile(lockFile);
    if (lockedFile >= 0 && !lockExclusively(lockedFile)) {
        ::close(lockedFile);
        lockedFile = -1;
    }
}

void leave() {
    if (lockedFile >= 0) {
        ::close(lockedFile);
        lockedFile = -1;
    }
    gate.unlock();
}

} // namespace

StoreGate::Hold::Hold() {
    if (holdsOnThisThread++ == 0) {
        enter();
    }
}

StoreGate::Hold::~Hold() {
    if (--holdsOnThisThread == 0) {
        leave();
    }
}

void StoreGate::lockAcrossProcesses(std::filesystem::path file) {
    const Hold hold;
    lockFile = std::move(file);
}

std::filesystem::path StoreGate::defaultLockFile() {
    return ListFile::dataFolder() / ".lock";
}

} // namespace zemlar
