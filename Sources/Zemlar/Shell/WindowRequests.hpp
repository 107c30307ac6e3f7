// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "InstanceRequest.hpp"

#include <variant>

namespace zemlar {

class AppDelegate;
class SingleInstance;

/// The launches that ask for a window: `zemlar --toggle-panel` (what a compositor's key binding
/// runs) and `zemlar --settings [accounts|import|backup|general]`. A running instance is asked
/// over the single-instance socket; otherwise the launch starts Zemlar and then does it itself.
namespace WindowRequests {

/// Not a window request: the command line decides.
struct NotOne {};
/// A window request naming an unknown tab.
struct UnknownTab {};

std::variant<NotOne, UnknownTab, InstanceRequest> fromArguments(int argc, char** argv);

/// Hands the request to the running instance; false when none answers.
bool sendToRunning(const InstanceRequest& request);

/// Carries the request out in this, the running, instance.
void perform(const InstanceRequest& request, AppDelegate& delegate);

/// Lets later launches toggle the panel and open the settings on a tab.
void answer(SingleInstance& instance, AppDelegate& delegate);

inline constexpr const char* usage =
    "usage: zemlar [--toggle-panel | --settings [accounts|import|backup|general]]\n";

} // namespace WindowRequests
} // namespace zemlar
