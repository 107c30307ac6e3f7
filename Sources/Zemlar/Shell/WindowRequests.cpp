// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowRequests.hpp"

#include "AppDelegate.hpp"
#include "InstanceClient.hpp"
#include "SingleInstance.hpp"

#include <array>
#include <string_view>
#include <utility>

using namespace std::chrono_literals;

namespace zemlar::WindowRequests {
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

std::optional<SettingsTab> tabOf(const InstanceRequest& request) {
    return request.arguments.isEmpty() ? std::nullopt
                                       : tabNamed(request.arguments.first().toStdString());
}

} // namespace

std::variant<NotOne, UnknownTab, InstanceRequest> fromArguments(int argc, char** argv) {
    if (argc < 2) {
        return NotOne{};
    }
    const std::string_view option = argv[1];
    if (option == "--toggle-panel" && argc == 2) {
        return InstanceRequest{.name = InstanceRequest::togglePanel, .arguments = {}};
    }
    if (option != "--settings" || argc > 3) {
        return NotOne{};
    }
    if (argc == 2) {
        return InstanceRequest{.name = InstanceRequest::settings, .arguments = {}};
    }
    if (!tabNamed(argv[2])) {
        return UnknownTab{};
    }
    return InstanceRequest{.name = InstanceRequest::settings,
                           .arguments = {QString::fromLocal8Bit(argv[2])}};
}

bool sendToRunning(const InstanceRequest& request) {
    // Over SSH there is no display of this launch's own: any running instance will do.
    for (const QString& socketPath : SingleInstance::socketPaths()) {
        if (InstanceClient::ask(socketPath, request, 500ms, 2s)) {
            return true;
        }
    }
    return false;
}

void perform(const InstanceRequest& request, AppDelegate& delegate) {
    if (request.name == QLatin1String(InstanceRequest::togglePanel)) {
        delegate.togglePanel();
    } else if (request.name == QLatin1String(InstanceRequest::settings)) {
        delegate.showSettings(tabOf(request));
    }
}

void answer(SingleInstance& instance, AppDelegate& delegate) {
    for (const char* name : {InstanceRequest::togglePanel, InstanceRequest::settings}) {
        instance.handle(
            QString::fromLatin1(name),
            [&delegate, name](QStringList arguments) -> QCoro::Task<CommandReply> {
                perform({.name = QString::fromLatin1(name), .arguments = std::move(arguments)},
                        delegate);
                co_return CommandReply{};
            });
    }
}

} // namespace zemlar::WindowRequests
