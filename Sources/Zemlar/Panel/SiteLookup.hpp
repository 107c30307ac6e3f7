// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowSystem.hpp"

#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>

namespace zemlar {

/// Reads the site of the browser tab in front of an application; blocks, so it runs on a
/// worker thread.
using TabHostReader = std::function<std::optional<std::string>(const FrontApp& app)>;

/// Runs `reader` for `app` on a pool of its own, so that a browser that is slow to answer holds
/// up neither the main thread nor the loading of the lists; nothing without a reader.
QCoro::Task<std::optional<std::string>> lookUpSite(TabHostReader reader, FrontApp app);

} // namespace zemlar
