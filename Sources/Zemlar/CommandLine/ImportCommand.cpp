// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppEnvironment.hpp"
#include "Command.hpp"
#include "ImportRequest.hpp"
#include "InstanceClient.hpp"
#include "SingleInstance.hpp"
#include "Terminal.hpp"

#include <OTPCore/Crypto.hpp>
#include <QFileInfo>
#include <ZemlarScreens/Texts.hpp>
#include <chrono>

namespace zemlar::CommandLine {
namespace {

using namespace std::chrono_literals;
constexpr const char* passwordFromInput = "--password-stdin";

/// The running instance imports, so that its screens show the new accounts at once; without
/// one the command imports itself, under the same store lock.
CommandReply importOnce(const QString& path, const QString& password) {
    const InstanceRequest request{.name = InstanceRequest::importFile,
                                  .arguments = {path, password}};
    for (const QString& socket : SingleInstance::socketPaths()) {
        if (auto reply = InstanceClient::ask(socket, request, 500ms, -1ms)) {
            return std::move(*reply);
        }
    }
    return ImportRequest::run(path, password, AppEnvironment::live());
}

std::optional<QString> askPassword(const QString& path, bool fromInput) {
    if (fromInput) {
        return Terminal::readLine();
    }
    return Terminal::ask(Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Password for %@: "),
                                       {QFileInfo(path).fileName()}));
}

QCoro::Task<int> run(Arguments arguments) {
    const bool fromInput = arguments.options.contains(QLatin1String(passwordFromInput));
    // Asked once, when the first encrypted export needs it, and tried on the later ones.
    std::optional<QString> password;
    int status = success;
    for (const QString& file : arguments.operands) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (arguments.operands.size() > 1) {
            Terminal::print({file + QLatin1Char(':')});
        }
        CommandReply reply = importOnce(path, password.value_or(QString()));
        if (reply.outcome == CommandReply::Outcome::passwordNeeded && !password) {
            password = askPassword(path, fromInput);
            if (password) {
                reply = importOnce(path, *password);
            }
        }
        Terminal::print(reply.output);
        Terminal::printErrors(reply.errors);
        if (reply.outcome != CommandReply::Outcome::done) {
            status = failure;
        }
    }
    if (password) {
        Crypto::wipe(*password);
    }
    co_return status;
}

} // namespace

const Command& importCommand() {
    static const Command command{
        .name = "import",
        .synopsis = "import [--password-stdin] FILE…",
        .summary = QT_TRANSLATE_NOOP(
            "Zemlar", "Imports the accounts of each file as the Import screen does: otpauth "
                      "links, QR code images and other apps' exports."),
        .details = QT_TRANSLATE_NOOP(
            "Zemlar", "The password of an encrypted export is asked on the terminal.\n"
                      "  --password-stdin    Read it from the first line of standard input "
                      "instead."),
        .options = {QLatin1String(passwordFromInput)},
        .minimumOperands = 1,
        .maximumOperands = -1,
        .run = run,
    };
    return command;
}

} // namespace zemlar::CommandLine
