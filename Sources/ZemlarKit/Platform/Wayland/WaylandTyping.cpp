// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaylandTyping.hpp"

#include "DigitsKeymap.hpp"
#include "FocusWait.hpp"
#include "VirtualKeyboard.hpp"
#include "ZemlarKit/PreciseTimer.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/KeyStrokes.hpp>
#include <QGuiApplication>
#include <vector>

namespace zemlar::WaylandTyping {
namespace {

using namespace std::chrono_literals;

/// How long the typing waits for the compositor to take the keyboard focus from our hidden
/// panel and give it back to the window below.
constexpr auto focusRelease = 500ms;

bool ourWindowHasFocus() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QGuiApplication::focusWindow() != nullptr;
}

} // namespace

Result<void, DeliveryError> prepare() {
    if (!VirtualKeyboard::isOffered()) {
        return fail(DeliveryError::accessibilityDenied());
    }
    return {};
}

QCoro::Task<Result<void, DeliveryError>>
type(std::string code, std::chrono::milliseconds keyInterval, bool pressReturn) {
    const Crypto::WipedText wipedCode(std::move(code));
    auto keyboard = VirtualKeyboard::open();
    if (!keyboard) {
        co_return fail(DeliveryError::accessibilityDenied());
    }
    const auto plan = KeyStrokes::forCode(wipedCode.value(), pressReturn);
    if (!plan) {
        co_return fail(DeliveryError::invalidCode());
    }
    std::vector<std::uint32_t> keys;
    for (const KeyStroke& stroke : *plan) {
        const auto key = DigitsKeymap::keyFor(stroke);
        if (!key) {
            co_return fail(DeliveryError::invalidCode());
        }
        keys.push_back(*key);
    }
    QCoro::Task<bool> leaving = focusWait([] { return !ourWindowHasFocus(); }, focusRelease);
    const bool left = co_await leaving;
    if (!left) {
        co_return fail(DeliveryError::focusLost());
    }
    for (const std::uint32_t key : keys) {
        if (!keyboard->tap(key)) {
            co_return fail(DeliveryError::eventFailed());
        }
        QCoro::Task<> pausing = PreciseTimer::sleepFor(keyInterval);
        co_await pausing;
    }
    co_return Result<void, DeliveryError>{};
}

} // namespace zemlar::WaylandTyping
