// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceClient.hpp"

#include <QLocalSocket>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar::InstanceClient {
namespace {

int milliseconds(std::chrono::milliseconds wait) {
    return wait.count() < 0 ? -1 : static_cast<int>(wait.count());
}

CommandReply unanswered() {
    return CommandReply{
        .outcome = CommandReply::Outcome::failed,
        .output = {},
        .errors = {Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The running Zemlar did not answer"))},
    };
}

} // namespace

std::optional<CommandReply> ask(const QString& socketPath, const InstanceRequest& request,
                                std::chrono::milliseconds connectWait,
                                std::chrono::milliseconds replyWait) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(milliseconds(connectWait))) {
        return std::nullopt;
    }
    socket.write(InstanceMessage::encode(request));
    QByteArray buffer;
    while (InstanceMessage::check(buffer) == InstanceMessage::Frame::incomplete) {
        if (!socket.waitForReadyRead(milliseconds(replyWait))) {
            return unanswered();
        }
        buffer += socket.readAll();
    }
    auto reply = InstanceMessage::takeReply(buffer);
    return reply ? std::move(reply) : unanswered();
}

} // namespace zemlar::InstanceClient
