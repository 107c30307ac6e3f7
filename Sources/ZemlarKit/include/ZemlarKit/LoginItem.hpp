// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OTPCore/Result.hpp"

#include <filesystem>
#include <string>

namespace zemlar {

/// Whether the application starts when the user logs in.
enum class LoginItemState { enabled, disabled, requiresApproval };

/// Why the login item could not be changed.
class LoginItemError {
public:
    enum class Kind { registrationFailed };

    /// The autostart file could not be written or removed.
    static LoginItemError registrationFailed() { return LoginItemError(Kind::registrationFailed); }

    Kind kind() const { return kind_; }
    std::string describe() const { return "registrationFailed"; }

    bool operator==(const LoginItemError&) const = default;

private:
    explicit LoginItemError(Kind kind) : kind_(kind) {}

    Kind kind_;
};

/// Launching the application at login through an XDG autostart file.
namespace LoginItem {

/// `$XDG_CONFIG_HOME/autostart/app.zemlar.Zemlar.desktop`, with `~/.config` when the variable
/// is unset or not an absolute path.
std::filesystem::path autostartFile();

/// `enabled` while the autostart file exists and is not hidden or switched off; else
/// `disabled`. (Autostart needs no approval on Linux.)
LoginItemState state();

/// Writes the autostart file, launching the running executable (true), or removes it (false);
/// then the state read afresh.
Result<LoginItemState, LoginItemError> setEnabled(bool enabled);

/// The autostart entry that launches the program at `executable`.
std::string desktopEntry(const std::filesystem::path& executable);

} // namespace LoginItem

} // namespace zemlar
