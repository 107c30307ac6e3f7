// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

/// The messages between a later launch and the running instance over the single-instance
/// socket. Each message is one frame: its length as 4 bytes (big-endian), then a JSON object.
/// A request names what is asked and carries its arguments; the instance answers each request
/// with one reply. A new request only needs a name and a handler in the instance.
namespace zemlar {

struct InstanceRequest {
    /// Opens the settings window: what a plain second launch asks.
    static constexpr const char* settings = "settings";
    /// Imports a file: the absolute path, then the export's password when one was given.
    static constexpr const char* importFile = "import";

    QString name;
    QStringList arguments;

    bool operator==(const InstanceRequest&) const = default;
};

/// What a command gave, the same whether the running instance or the command itself did it.
struct CommandReply {
    enum class Outcome { done, failed, passwordNeeded };

    Outcome outcome = Outcome::done;
    /// Lines for standard output.
    QStringList output;
    /// Lines for standard error.
    QStringList errors;

    bool operator==(const CommandReply&) const = default;
};

namespace InstanceMessage {

/// Frames larger than this are refused: no request or reply comes near it.
inline constexpr qsizetype frameLimit = 1 << 20;

QByteArray encode(const InstanceRequest& request);
QByteArray encode(const CommandReply& reply);

/// Where the front of a buffer stands: a whole frame, not yet whole, or never valid.
enum class Frame { whole, incomplete, invalid };

/// Whether the buffer starts with a whole frame.
Frame check(const QByteArray& buffer);

/// Takes the whole frame at the front of the buffer off it and decodes it; nothing when the
/// frame does not hold a request (the frame is taken off all the same).
std::optional<InstanceRequest> takeRequest(QByteArray& buffer);
std::optional<CommandReply> takeReply(QByteArray& buffer);

} // namespace InstanceMessage
} // namespace zemlar
