// SPDX-License-Identifier: GPL-3.0-or-later
#include "Usage.hpp"

#include <ZemlarScreens/Texts.hpp>

namespace zemlar::CommandLine::Usage {

QStringList overview() {
    QStringList lines{
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Usage: zemlar [COMMAND] [OPTIONS]")),
        Texts::text(QT_TRANSLATE_NOOP(
            "Zemlar", "Without a command, Zemlar starts (or opens the settings window of the "
                      "Zemlar already running).")),
        QString(),
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Commands:")),
    };
    for (const Command* command : commands()) {
        lines.append(QStringLiteral("  %1\n      %2")
                         .arg(QString::fromUtf8(command->synopsis), Texts::text(command->summary)));
    }
    lines += {
        QString(),
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Options:")),
        QStringLiteral("  --help       ") +
            Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Show this help, or a command's own help")),
        QStringLiteral("  --version    ") +
            Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Show the version")),
        QString(),
        Texts::text(QT_TRANSLATE_NOOP(
            "Zemlar", "Exit status: 0 on success, 1 on failure, 2 on a usage error.")),
    };
    return lines;
}

QStringList help(const Command& command) {
    QStringList lines{
        Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Usage: zemlar %@"),
                      {QString::fromUtf8(command.synopsis)}),
        Texts::text(command.summary),
    };
    if (*command.details != '\0') {
        lines += {QString(), Texts::text(command.details)};
    }
    return lines;
}

QString error(const QString& problem) {
    return Texts::format(QT_TRANSLATE_NOOP("Zemlar", "%@ See “zemlar --help”."), {problem});
}

} // namespace zemlar::CommandLine::Usage
