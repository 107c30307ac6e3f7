// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// What the process does first, before any secret is in memory.
namespace zemlar::ProcessHardening {

/// No core dumps, and no reading of this process's memory by other processes of the same user
/// (ptrace, /proc/<pid>/mem): a crash then never writes the vault to disk. True when both took.
bool apply();

} // namespace zemlar::ProcessHardening
