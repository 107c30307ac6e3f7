// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/TypingDelivery.hpp"

#include "DisplaySession.hpp"
#include "Wayland/WaylandTyping.hpp"
#include "X11/X11Typing.hpp"

namespace zemlar {

namespace {

bool onWayland() {
    return DisplaySession::current() == DisplaySession::Kind::wayland;
}

} // namespace

Result<void, DeliveryError> TypingDelivery::prepare() {
    return onWayland() ? WaylandTyping::prepare() : X11Typing::prepare();
}

QCoro::Task<Result<void, DeliveryError>> TypingDelivery::deliver(std::string code) {
    if (onWayland()) {
        auto typing = WaylandTyping::type(std::move(code), keyInterval, pressReturn);
        auto result = co_await typing;
        co_return result;
    }
    auto typing = X11Typing::type(std::move(code), keyInterval, pressReturn, targetWindow);
    auto result = co_await typing;
    co_return result;
}

} // namespace zemlar
