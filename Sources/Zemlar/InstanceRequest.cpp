// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceRequest.hpp"

#include "AppDelegate.hpp"

#include <QFile>
#include <array>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace zemlar::InstanceRequest {
namespace {

constexpr std::array<std::pair<std::string_view, SettingsTab>, 4> tabs{{
    {"accounts", SettingsTab::accounts},
    {"import", SettingsTab::importing},
    {"backup", SettingsTab::backup},
    {"general", SettingsTab::general},
}};

std::optional<SettingsTab> tabNamed(std::string_view name) {
    for (const auto& [tabName, tab] : tabs) {
        if (tabName == name) {
            return tab;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> fromArguments(int argc, char** argv) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--toggle-panel") {
            return QByteArrayLiteral("toggle-panel");
        }
        if (argument != "--settings") {
            continue;
        }
        if (index + 1 >= argc || std::string_view(argv[index + 1]).starts_with("-")) {
            return QByteArrayLiteral("settings");
        }
        if (!tabNamed(argv[index + 1])) {
            return std::nullopt;
        }
        return QByteArrayLiteral("settings ") + QByteArray(argv[index + 1]);
    }
    return QByteArray();
}

bool sendToRunning(const QString& socketPath, const QByteArray& request) {
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0) {
        return false;
    }
    const QByteArray line = request + '\n';
    const bool sent =
        ::connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(connection, line.constData(), static_cast<std::size_t>(line.size())) == line.size();
    ::close(connection);
    return sent;
}

bool perform(const QByteArray& request, AppDelegate& delegate) {
    if (request == "toggle-panel") {
        delegate.togglePanel();
        return true;
    }
    if (request == "settings") {
        delegate.showSettings();
        return true;
    }
    if (!request.startsWith("settings ")) {
        return false;
    }
    const auto tab = tabNamed(
        std::string_view(request.constData(), static_cast<std::size_t>(request.size())).substr(9));
    if (!tab) {
        return false;
    }
    delegate.showSettings(*tab);
    return true;
}

} // namespace zemlar::InstanceRequest
