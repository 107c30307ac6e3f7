// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace zemlar {

/// One change of the account list, the group list or the vault at a time. Every flow that
/// changes them holds the gate from its first read to its last write, so no change is made on a
/// stale copy and none is lost. A mutex keeps the threads of this process apart; once a lock
/// file is set, an flock on it keeps other processes (a second instance) out as well. A flow
/// that runs other flows holds the gate once: holds nested on one thread pass straight through.
/// Never held on the main thread: waiting for the gate can take as long as a whole import.
class StoreGate {
public:
    /// Holds the gate from construction to destruction.
    class Hold {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    /// From the next hold on, also flock this file; it is created 0600 (its folder 0700) when
    /// missing. When it cannot be opened, the gate keeps out the threads of this process only.
    static void lockAcrossProcesses(std::filesystem::path lockFile);

    /// ".lock" in the data folder, beside the list files.
    static std::filesystem::path defaultLockFile();
};

} // namespace zemlar
