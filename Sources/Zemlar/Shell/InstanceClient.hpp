// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "InstanceRequest.hpp"

#include <QString>
#include <chrono>
#include <optional>

/// The asking side of the single-instance socket: a later launch or a command.
namespace zemlar::InstanceClient {

/// Sends the request to the instance listening at `socketPath` and waits for its reply (without
/// limit when `replyWait` is negative). Nothing when no instance accepts the connection within
/// `connectWait`; a failed reply saying so when the instance went away before it answered.
std::optional<CommandReply> ask(const QString& socketPath, const InstanceRequest& request,
                                std::chrono::milliseconds connectWait,
                                std::chrono::milliseconds replyWait);

} // namespace zemlar::InstanceClient
