// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zemlar {

/// Why a code could not be handed over.
class DeliveryError {
public:
    enum class Kind { accessibilityDenied, invalidCode, eventFailed, focusLost };

    /// The process may not post keyboard events (no X display, or one without XTEST).
    static DeliveryError accessibilityDenied() { return DeliveryError(Kind::accessibilityDenied); }
    /// The code cannot be turned into keystrokes.
    static DeliveryError invalidCode() { return DeliveryError(Kind::invalidCode); }
    /// The system refused to produce a key event.
    static DeliveryError eventFailed() { return DeliveryError(Kind::eventFailed); }
    /// The window the code was meant for did not have the keyboard focus before a key: that key
    /// and every later one (Return included) were not typed.
    static DeliveryError focusLost() { return DeliveryError(Kind::focusLost); }

    Kind kind() const { return kind_; }
    std::string describe() const;

    bool operator==(const DeliveryError&) const = default;

private:
    explicit DeliveryError(Kind kind) : kind_(kind) {}

    Kind kind_;
};

} // namespace zemlar

template <> struct std::hash<zemlar::DeliveryError> {
    std::size_t operator()(const zemlar::DeliveryError& error) const noexcept {
        return std::hash<int>()(static_cast<int>(error.kind()));
    }
};
