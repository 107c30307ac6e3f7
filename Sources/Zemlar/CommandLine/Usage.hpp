// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Command.hpp"

#include <QString>
#include <QStringList>

/// The help texts of the command line.
namespace zemlar::CommandLine::Usage {

/// `zemlar --help`: how to start the program and every command in one line each.
QStringList overview();
/// `zemlar COMMAND --help`: the command's synopsis, what it does and its options.
QStringList help(const Command& command);

/// The one line of a usage error, with the hint where help is.
QString error(const QString& problem);

} // namespace zemlar::CommandLine::Usage
