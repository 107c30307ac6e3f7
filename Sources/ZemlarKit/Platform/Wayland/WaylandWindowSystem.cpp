// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowSystem.hpp"

#include <QGuiApplication>
#include <unistd.h>

namespace zemlar {
namespace {

class WaylandWindowSystem final : public WindowSystem {
public:
    std::optional<FrontApp> frontmost() override { return std::nullopt; }

    void activate(const FrontApp& /*app*/) override {}

    bool isThisApplicationActive() override { return QGuiApplication::focusWindow() != nullptr; }

    bool isThisApplication(const FrontApp& app) override {
        return app.pid == static_cast<std::int64_t>(getpid());
    }
};

} // namespace

std::shared_ptr<WindowSystem> makeWaylandWindowSystem() {
    return std::make_shared<WaylandWindowSystem>();
}

} // namespace zemlar
