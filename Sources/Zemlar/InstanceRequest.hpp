// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zemlar {

class AppDelegate;

/// What a launch asks of the running instance, as one line over the single-instance socket:
/// "toggle-panel" (`zemlar --toggle-panel`, what a compositor's key binding runs) or
/// "settings" with an optional tab (`zemlar --settings [accounts|import|backup|general]`).
namespace InstanceRequest {

/// The request of the command line: empty for a plain launch, none when --settings names no
/// known tab. Other arguments are left to the toolkit.
std::optional<QByteArray> fromArguments(int argc, char** argv);

/// Hands the request to the instance listening on the socket, without starting a toolkit: the
/// quick way for a key binding. False when none listens.
bool sendToRunning(const QString& socketPath, const QByteArray& request);

/// Carries the request out on the running application; false when it is not one.
bool perform(const QByteArray& request, AppDelegate& delegate);

/// How the two options are used.
inline constexpr const char* usage =
    "usage: zemlar [--toggle-panel | --settings [accounts|import|backup|general]]\n";

} // namespace InstanceRequest
} // namespace zemlar
