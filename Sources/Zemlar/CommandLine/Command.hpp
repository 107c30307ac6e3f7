// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <qcoro/qcorotask.h>
#include <span>

namespace zemlar::CommandLine {

/// What the program gives back to the shell.
enum ExitStatus : int { success = 0, failure = 1, usageError = 2 };

/// The words after a command's name: its options ("--json") and its operands.
struct Arguments {
    QSet<QString> options;
    QStringList operands;
};

/// One command of the program, run without a display on the core application's event loop.
struct Command {
    const char* name;
    /// The command line it takes: "import [--password-stdin] FILE…".
    const char* synopsis;
    /// What it does, in one sentence, for the overview.
    const char* summary;
    /// Its options and what they do, for its own help; empty when it has none.
    const char* details;
    QStringList options;
    qsizetype minimumOperands = 0;
    /// -1: no limit.
    qsizetype maximumOperands = -1;
    QCoro::Task<int> (*run)(Arguments arguments);
};

/// Every command, in the order the overview lists them.
std::span<const Command* const> commands();

/// Each command's own entry, defined in its own file.
const Command& importCommand();
const Command& listCommand();
const Command& codeCommand();

} // namespace zemlar::CommandLine
