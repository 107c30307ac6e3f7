// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/LoginItem.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace zemlar::LoginItem {

namespace {

namespace fs = std::filesystem;

fs::path configHome() {
    if (const char* configured = std::getenv("XDG_CONFIG_HOME");
        configured != nullptr && fs::path(configured).is_absolute()) {
        return configured;
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "") / ".config";
}

/// Quotes a path for the Exec key: inside double quotes, the characters `"`, `` ` ``, `$` and
/// `\` take a backslash; then every backslash and `%` is doubled for the string value.
std::string quotedForExec(const std::string& path) {
    std::string quoted = "\"";
    for (const char character : path) {
        if (character == '"' || character == '`' || character == '$') {
            quoted += "\\\\";
            quoted += character;
        } else if (character == '\\') {
            quoted += "\\\\\\\\";
        } else if (character == '%') {
            quoted += "%%";
        } else {
            quoted += character;
        }
    }
    return quoted + "\"";
}

bool switchedOff(std::istream& entry) {
    std::string line;
    while (std::getline(entry, line)) {
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false") {
            return true;
        }
    }
    return false;
}

fs::path runningExecutable() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path("zemlar") : executable;
}

} // namespace

std::filesystem::path autostartFile() {
    return configHome() / "autostart" / "app.zemlar.Zemlar.desktop";
}

LoginItemState state() {
    std::ifstream entry(autostartFile());
    if (!entry || switchedOff(entry)) {
        return LoginItemState::disabled;
    }
    return LoginItemState::enabled;
}

std::string desktopEntry(const std::filesystem::path& executable) {
    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=Zemlar\n"
          << "Comment=Two-factor authentication codes\n"
          << "Exec=" << quotedForExec(executable.string()) << "\n"
          << "Icon=app.zemlar.Zemlar\n"
          << "Terminal=false\n"
          << "X-GNOME-Autostart-enabled=true\n";
    return entry.str();
}

Result<LoginItemState, LoginItemError> setEnabled(bool enabled) {
    const fs::path file = autostartFile();
    std::error_code error;
    if (!enabled) {
        fs::remove(file, error);
        if (error) {
            return fail(LoginItemError::registrationFailed());
        }
        return state();
    }
    fs::create_directories(file.parent_path(), error);
    if (error) {
        return fail(LoginItemError::registrationFailed());
    }
    // Written beside the final name and renamed, so a half-written entry never launches.
    const fs::path partial = file.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << desktopEntry(runningExecutable());
        out.close();
        if (!out) {
            fs::remove(partial, error);
            return fail(LoginItemError::registrationFailed());
        }
    }
    fs::rename(partial, file, error);
    if (error) {
        fs::remove(partial, error);
        return fail(LoginItemError::registrationFailed());
    }
    return state();
}

} // namespace zemlar::LoginItem
