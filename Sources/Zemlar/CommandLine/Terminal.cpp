// SPDX-License-Identifier: GPL-3.0-or-later
#include "Terminal.hpp"

#include <OTPCore/Crypto.hpp>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace zemlar::Terminal {
namespace {

void write(std::FILE* stream, const QStringList& lines) {
    for (const QString& line : lines) {
        std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    }
    std::fflush(stream);
}

/// Reads up to a line feed or the end; nothing when nothing at all could be read.
std::optional<std::string> readUntilLineEnd(int descriptor) {
    std::string line;
    char character = 0;
    ssize_t count = 0;
    while ((count = ::read(descriptor, &character, 1)) == 1 && character != '\n') {
        line.push_back(character);
    }
    if (count < 0 || (count == 0 && line.empty())) {
        Crypto::wipe(line);
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::optional<QString> decoded(std::optional<std::string> line) {
    if (!line) {
        return std::nullopt;
    }
    QString text = QString::fromLocal8Bit(line->data(), static_cast<qsizetype>(line->size()));
    Crypto::wipe(*line);
    return text;
}

// The terminal's settings while echo is off, put back by the signal handler when the user
// interrupts the question: a shell left without echo is unusable.
int quietTerminal = -1;
termios echoingSettings{};

void restoreAndRaise(int signal) {
    ::tcsetattr(quietTerminal, TCSAFLUSH, &echoingSettings);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::optional<std::string> readQuietly(int terminal) {
    termios settings{};
    if (::tcgetattr(terminal, &settings) != 0) {
        return std::nullopt;
    }
    quietTerminal = terminal;
    echoingSettings = settings;
    const auto previousInterrupt = std::signal(SIGINT, restoreAndRaise);
    const auto previousTerminate = std::signal(SIGTERM, restoreAndRaise);
    termios quiet = settings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    ::tcsetattr(terminal, TCSAFLUSH, &quiet);
    auto line = readUntilLineEnd(terminal);
    ::tcsetattr(terminal, TCSAFLUSH, &settings);
    std::signal(SIGINT, previousInterrupt);
    std::signal(SIGTERM, previousTerminate);
    quietTerminal = -1;
    return line;
}

} // namespace

void print(const QStringList& lines) {
    write(stdout, lines);
}

void printErrors(const QStringList& lines) {
    write(stderr, lines);
}

std::optional<QString> ask(const QString& prompt, bool echo) {
    const int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        return std::nullopt;
    }
    const QByteArray question = prompt.toLocal8Bit();
    const bool asked = ::write(terminal, question.constData(), question.size()) ==
                       static_cast<ssize_t>(question.size());
    auto answer =
        asked ? (echo ? readUntilLineEnd(terminal) : readQuietly(terminal)) : std::nullopt;
    ::close(terminal);
    return decoded(std::move(answer));
}

std::optional<QString> readLine() {
    return decoded(readUntilLineEnd(STDIN_FILENO));
}

} // namespace zemlar::Terminal
