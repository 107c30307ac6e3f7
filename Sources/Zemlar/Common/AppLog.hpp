// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

/// The developer log: journal entries (stderr when no journal runs) with the application's
/// subsystem and one category per area. Messages are fixed texts; never pass secrets or codes.
namespace zemlar::AppLog {

inline constexpr std::string_view subsystem = "app.zemlar.Zemlar";

void info(std::string_view category, std::string_view message);
void error(std::string_view category, std::string_view message);

} // namespace zemlar::AppLog
