// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalPrompter.hpp"

#include "Terminal.hpp"

#include <ZemlarScreens/Texts.hpp>

namespace zemlar::CommandLine {

void TerminalPrompter::begin(const QString& reason, std::function<void()> /*cancel*/) {
    Terminal::printErrors(
        {Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Zemlar is trying to %@."), {reason})});
}

std::optional<QString> TerminalPrompter::askSecret(const QString& prompt, bool echo) {
    return Terminal::ask(prompt, echo);
}

void TerminalPrompter::showMessage(const QString& text, bool /*isError*/) {
    Terminal::printErrors({text});
}

void TerminalPrompter::end(bool /*succeeded*/) {}

} // namespace zemlar::CommandLine
