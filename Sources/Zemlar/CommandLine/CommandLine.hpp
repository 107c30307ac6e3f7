// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

/// The program's command line: `--version`, `--help` and the commands, all without a display.
namespace zemlar::CommandLine {

/// Runs what the arguments ask and gives the exit status; nothing when they ask for the
/// application itself (no arguments, or only Qt's own single-dash options), which the caller
/// then starts. Must run before any application object exists.
std::optional<int> run(int argc, char** argv);

} // namespace zemlar::CommandLine
