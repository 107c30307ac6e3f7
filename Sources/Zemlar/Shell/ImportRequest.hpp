// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"
#include "InstanceRequest.hpp"
#include "SingleInstance.hpp"

#include <QString>

namespace zemlar {

class AppDelegate;

/// The import of one file by the command line: done by the running instance when there is one,
/// otherwise by the command itself, the same way in both.
namespace ImportRequest {

/// Imports the file into the stores as the Import screen does (blocking; never on the main
/// thread) and gives the report as lines to print, or the failure as one line naming the file.
CommandReply run(const QString& path, const QString& password, const AppEnvironment& environment);

/// The running instance's answer to an import request (the path, then the password when one
/// is given): the import off the main thread, then the screens catch up with the new accounts.
SingleInstance::Handler handler(AppDelegate& delegate, AppEnvironment environment);

} // namespace ImportRequest
} // namespace zemlar
