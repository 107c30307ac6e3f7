// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// The command line's standard streams and its controlling terminal.
namespace zemlar::Terminal {

/// Each line, ended by a line feed, on standard output.
void print(const QStringList& lines);
/// Each line, ended by a line feed, on standard error.
void printErrors(const QStringList& lines);

/// Asks on the controlling terminal and reads the answer, without echo unless `echo`; nothing
/// when there is no terminal or the input ends first.
std::optional<QString> ask(const QString& prompt, bool echo = false);

/// One line of standard input without its line end; nothing when the input is already at its end.
std::optional<QString> readLine();

} // namespace zemlar::Terminal
