// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.hpp"

#include "Command.hpp"
#include "Terminal.hpp"
#include "Usage.hpp"

#include <QCoreApplication>
#include <ZemlarScreens/Texts.hpp>
#include <cstdio>
#include <string_view>
#include <variant>

namespace zemlar::CommandLine {
namespace {

const Command* find(std::string_view name) {
    for (const Command* command : commands()) {
        if (name == command->name) {
            return command;
        }
    }
    return nullptr;
}

struct HelpAsked {};
using Parsed = std::variant<Arguments, HelpAsked, QString>;

/// The words after the command's name, checked against what it takes; the usage error's
/// problem when they do not fit.
Parsed parse(const Command& command, const QStringList& words) {
    Arguments arguments;
    bool optionsEnded = false;
    for (const QString& word : words) {
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            arguments.operands.append(word);
        } else if (word == QLatin1String("--")) {
            optionsEnded = true;
        } else if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            return HelpAsked{};
        } else if (command.options.contains(word)) {
            arguments.options.insert(word);
        } else {
            return Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Unknown option “%@”."), {word});
        }
    }
    const qsizetype count = arguments.operands.size();
    if (count < command.minimumOperands) {
        return Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Missing argument."));
    }
    if (command.maximumOperands >= 0 && count > command.maximumOperands) {
        return Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Unexpected argument “%@”."),
                             {arguments.operands.at(command.maximumOperands)});
    }
    return arguments;
}

int runCommand(const Command& command, const QStringList& words) {
    Parsed parsed = parse(command, words);
    if (std::holds_alternative<HelpAsked>(parsed)) {
        Terminal::print(Usage::help(command));
        return success;
    }
    if (const auto* problem = std::get_if<QString>(&parsed)) {
        Terminal::printErrors({Usage::error(*problem)});
        return usageError;
    }
    QCoro::Task<int> running = command.run(std::move(std::get<Arguments>(parsed)));
    return QCoro::waitFor(running);
}

} // namespace

std::optional<int> run(int argc, char** argv) {
    if (argc < 2) {
        return std::nullopt;
    }
    const std::string_view first = argv[1];
    if (first == "--version") {
        std::printf("Zemlar %s\n", ZEMLAR_VERSION);
        return success;
    }
    const Command* command = find(first);
    const bool helpAsked = first == "--help" || first == "-h";
    if (!command && !helpAsked && first.starts_with('-') && !first.starts_with("--")) {
        return std::nullopt; // Qt's own options, such as -platform, for the application
    }
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMLAR_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Zemlar"));
    QCoreApplication::setApplicationName(QStringLiteral("Zemlar"));
    Texts::install();
    if (helpAsked) {
        Terminal::print(Usage::overview());
        return success;
    }
    if (!command) {
        const char* problem = first.starts_with("--")
                                  ? QT_TRANSLATE_NOOP("Zemlar", "Unknown option “%@”.")
                                  : QT_TRANSLATE_NOOP("Zemlar", "Unknown command “%@”.");
        Terminal::printErrors(
            {Usage::error(Texts::format(problem, {QString::fromLocal8Bit(argv[1])}))});
        return usageError;
    }
    return runCommand(*command, QCoreApplication::arguments().mid(2));
}

} // namespace zemlar::CommandLine
