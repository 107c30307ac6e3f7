// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Typing.hpp"

#include "FocusWait.hpp"
#include "X11ErrorTrap.hpp"
#include "X11HeldKeys.hpp"
#include "X11KeyFocus.hpp"
#include "ZemlarKit/PreciseTimer.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/KeyStrokes.hpp>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <bit>
#include <memory>
#include <optional>
#include <vector>

namespace zemlar {

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

/// The display of DISPLAY when it offers XTEST and XKB, which is what "trusted" means here.
DisplayHandle openTrustedDisplay() {
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        return nullptr;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display.get(), &eventBase, &errorBase, &major, &minor)) {
        return nullptr;
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(display.get(), &opcode, &eventBase, &errorBase, &major, &minor)) {
        return nullptr;
    }
    return display;
}

using namespace std::chrono_literals;

/// How long the typing waits before its first key for the target window to have the focus
/// again: Shift-Return types at once, while the window manager may still be handing the focus
/// back from the panel.
constexpr auto focusArrival = 250ms;
/// How long a lent keycode keeps its digit after the last key, so that a client that reads its
/// events late still finds the digit there.
constexpr auto lentKeyGrace = 80ms;

KeySym keySymFor(const KeyStroke& stroke) {
    if (stroke == KeyStrokes::returnKey) {
        return XK_Return;
    }
    return XK_0 + static_cast<KeySym>(stroke.text.at(0) - '0');
}

/// A key and the modifiers to hold with it.
struct Press {
    KeyCode key = 0;
    std::vector<KeyCode> modifiers;
};

/// The keyboard as it is at the start of one typing: map, group, modifier keys. Undoes its
/// changes (spare keycodes, released modifiers) when asked, and at the latest when it dies.
class KeyboardSession {
public:
    static std::unique_ptr<KeyboardSession> open(Display* display) {
        XkbDescPtr map = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask,
                                   XkbUseCoreKbd);
        XkbStateRec state{};
        if (map == nullptr) {
            return nullptr;
        }
        XModifierKeymap* modifiers = XGetModifierMapping(display);
        if (XkbGetState(display, XkbUseCoreKbd, &state) != Success || modifiers == nullptr) {
            XkbFreeKeyboard(map, 0, True);
            if (modifiers != nullptr) {
                XFreeModifiermap(modifiers);
            }
            return nullptr;
        }
        return std::unique_ptr<KeyboardSession>(
            new KeyboardSession(display, map, modifiers, state.group));
    }

    ~KeyboardSession() {
        restore();
        XkbFreeKeyboard(map_, 0, True);
        XFreeModifiermap(modifiers_);
    }
    KeyboardSession(const KeyboardSession&) = delete;
    KeyboardSession& operator=(const KeyboardSession&) = delete;

    /// How to type the symbol: a key of the current group at a level reachable with Shift and
    /// AltGr only, else a spare keycode given the symbol.
    std::optional<Press> pressFor(KeySym symbol) {
        if (auto press = existingPress(symbol)) {
            return press;
        }
        return remappedPress(symbol);
    }

    /// Lets go of every modifier key that is down, remembering it. Lock keys stay: pressing
    /// them again afterwards would toggle the user's lock.
    bool releaseHeldModifiers() {
        X11HeldKeys::KeyBits keys{};
        XQueryKeymap(display_, keys.data());
        X11ErrorTrap trap(display_);
        for (const KeyCode key : modifierKeys()) {
            if (X11HeldKeys::isDown(keys, key) && !isLockKey(key) && !touched(key)) {
                XTestFakeKeyEvent(display_, key, False, CurrentTime);
                touched_.push_back(key);
            }
        }
        return trap.succeeded();
    }

    bool type(const Press& press) {
        X11ErrorTrap trap(display_);
        for (const KeyCode modifier : press.modifiers) {
            // XTEST's device may still count the key as down from an earlier typing that pressed
            // it again for the user, who has let go of it since; the server would drop this
            // press. A release first clears that and leaves a key that is up alone.
            XTestFakeKeyEvent(display_, modifier, False, CurrentTime);
            XTestFakeKeyEvent(display_, modifier, True, CurrentTime);
            if (!touched(modifier)) {
                touched_.push_back(modifier);
            }
        }
        XTestFakeKeyEvent(display_, press.key, True, CurrentTime);
        XTestFakeKeyEvent(display_, press.key, False, CurrentTime);
        for (auto modifier = press.modifiers.rbegin(); modifier != press.modifiers.rend();
             ++modifier) {
            XTestFakeKeyEvent(display_, *modifier, False, CurrentTime);
        }
        return trap.succeeded();
    }

    /// Whether a spare keycode was given a symbol.
    bool lendsKeys() const { return !remapped_.empty(); }

    /// Presses again the modifiers it released or used that the user still physically holds,
    /// and gives the spare keycodes back their emptiness.
    void restore() {
        X11ErrorTrap trap(display_);
        if (!touched_.empty()) {
            const X11HeldKeys::KeyBits held = X11HeldKeys::physicallyHeld(display_);
            X11HeldKeys::KeyBits down{};
            XQueryKeymap(display_, down.data());
            for (const KeyCode key : touched_) {
                if (X11HeldKeys::isDown(held, key) && !X11HeldKeys::isDown(down, key)) {
                    XTestFakeKeyEvent(display_, key, True, CurrentTime);
                }
            }
            touched_.clear();
        }
        for (const KeyCode key : remapped_) {
            KeySym none[2] = {NoSymbol, NoSymbol};
            XChangeKeyboardMapping(display_, key, 2, none, 1);
        }
        remapped_.clear();
        (void)trap.succeeded();
    }

private:
    KeyboardSession(Display* display, XkbDescPtr map, XModifierKeymap* modifiers,
                    unsigned char group)
        : display_(display), map_(map), modifiers_(modifiers), group_(group) {}

    int groupOf(KeyCode key) const {
        const int groups = XkbKeyNumGroups(map_, key);
        if (group_ < groups) {
            return group_;
        }
        const unsigned char info = XkbKeyGroupInfo(map_, key);
        switch (XkbOutOfRangeGroupAction(info)) {
        case XkbClampIntoRange:
            return groups - 1;
        case XkbRedirectIntoRange: {
            const int target = XkbOutOfRangeGroupNumber(info);
            return target < groups ? target : 0;
        }
        default:
            return group_ % groups;
        }
    }

    bool isLockKey(KeyCode key) const {
        if (XkbKeyNumGroups(map_, key) == 0) {
            return false;
        }
        const KeySym symbol = XkbKeySymEntry(map_, key, 0, 0);
        return symbol == XK_Caps_Lock || symbol == XK_Shift_Lock || symbol == XK_Num_Lock ||
               symbol == XK_ISO_Level3_Lock || symbol == XK_Scroll_Lock;
    }

    bool touched(KeyCode key) const {
        return std::find(touched_.begin(), touched_.end(), key) != touched_.end();
    }

    std::vector<KeyCode> modifierKeys() const {
        std::vector<KeyCode> keys;
        for (int index = 0; index < 8 * modifiers_->max_keypermod; ++index) {
            if (modifiers_->modifiermap[index] != 0) {
                keys.push_back(modifiers_->modifiermap[index]);
            }
        }
        return keys;
    }

    /// The key that sets the single modifier bit by being held (Shift or a level-three shift),
    /// or none when that bit only comes from keys that lock or mean something else.
    std::optional<KeyCode> holdKeyFor(unsigned int bit) const {
        const int modifier = std::countr_zero(bit);
        for (int slot = 0; slot < modifiers_->max_keypermod; ++slot) {
            const KeyCode key =
                modifiers_->modifiermap[modifier * modifiers_->max_keypermod + slot];
            if (key == 0 || XkbKeyNumGroups(map_, key) == 0) {
                continue;
            }
            const KeySym symbol = XkbKeySymEntry(map_, key, 0, 0);
            if (symbol == XK_Shift_L || symbol == XK_Shift_R || symbol == XK_ISO_Level3_Shift ||
                symbol == XK_Mode_switch) {
                return key;
            }
        }
        return std::nullopt;
    }

    /// The hold keys for a level's modifier mask, or none when one of its bits has none.
    std::optional<std::vector<KeyCode>> holdKeysFor(unsigned int mask) const {
        std::vector<KeyCode> keys;
        for (unsigned int rest = mask; rest != 0; rest &= rest - 1) {
            const auto key = holdKeyFor(rest & (~rest + 1));
            if (!key) {
                return std::nullopt;
            }
            keys.push_back(*key);
        }
        return keys;
    }

    /// The fewest modifier keys that select the level of the key's type, if any do.
    std::optional<std::vector<KeyCode>> modifiersForLevel(KeyCode key, int group, int level) const {
        if (level == 0) {
            return std::vector<KeyCode>{};
        }
        const XkbKeyTypePtr type = XkbKeyKeyType(map_, key, group);
        std::optional<std::vector<KeyCode>> best;
        for (int entry = 0; entry < type->map_count; ++entry) {
            const XkbKTMapEntryRec& mapping = type->map[entry];
            if (!mapping.active || mapping.level != level) {
                continue;
            }
            auto keys = holdKeysFor(mapping.mods.mask);
            if (keys && (!best || keys->size() < best->size())) {
                best = std::move(keys);
            }
        }
        return best;
    }

    std::optional<Press> existingPress(KeySym symbol) const {
        std::optional<Press> best;
        for (int code = map_->min_key_code; code <= map_->max_key_code; ++code) {
            const auto key = static_cast<KeyCode>(code);
            if (XkbKeyNumGroups(map_, key) == 0) {
                continue;
            }
            const int group = groupOf(key);
            const int levels = XkbKeyGroupWidth(map_, key, group);
            for (int level = 0; level < levels; ++level) {
                if (XkbKeySymEntry(map_, key, level, group) != symbol) {
                    continue;
                }
                auto modifiers = modifiersForLevel(key, group, level);
                if (modifiers && (!best || modifiers->size() < best->modifiers.size())) {
                    best = Press{key, std::move(*modifiers)};
                }
            }
        }
        return best;
    }

    std::optional<Press> remappedPress(KeySym symbol) {
        const std::vector<KeyCode> modifierKeyList = modifierKeys();
        for (int code = map_->max_key_code; code >= map_->min_key_code; --code) {
            const auto key = static_cast<KeyCode>(code);
            const bool taken =
                std::find(remapped_.begin(), remapped_.end(), key) != remapped_.end() ||
                std::find(modifierKeyList.begin(), modifierKeyList.end(), key) !=
                    modifierKeyList.end();
            if (taken || XkbKeyNumGroups(map_, key) != 0) {
                continue;
            }
            X11ErrorTrap trap(display_);
            KeySym symbols[2] = {symbol, symbol};
            XChangeKeyboardMapping(display_, key, 2, symbols, 1);
            remapped_.push_back(key);
            if (!trap.succeeded()) {
                return std::nullopt;
            }
            return Press{key, {}};
        }
        return std::nullopt;
    }

    Display* display_;
    XkbDescPtr map_;
    XModifierKeymap* modifiers_;
    int group_;
    /// The modifier keys released at the start or pressed for a level.
    std::vector<KeyCode> touched_;
    std::vector<KeyCode> remapped_;
};

} // namespace

namespace X11Typing {

Result<void, DeliveryError> prepare() {
    if (!openTrustedDisplay()) {
        return fail(DeliveryError::accessibilityDenied());
    }
    return {};
}

QCoro::Task<Result<void, DeliveryError>> type(std::string code,
                                              std::chrono::milliseconds keyInterval,
                                              bool pressReturn,
                                              std::optional<std::uint64_t> targetWindow) {
    const Crypto::WipedText wipedCode(std::move(code));
    const DisplayHandle display = openTrustedDisplay();
    if (!display) {
        co_return fail(DeliveryError::accessibilityDenied());
    }
    const auto plan = KeyStrokes::forCode(wipedCode.value(), pressReturn);
    if (!plan) {
        co_return fail(DeliveryError::invalidCode());
    }
    const auto keyboard = KeyboardSession::open(display.get());
    if (!keyboard) {
        co_return fail(DeliveryError::eventFailed());
    }
    std::vector<Press> presses;
    for (const KeyStroke& stroke : *plan) {
        auto press = keyboard->pressFor(keySymFor(stroke));
        if (!press) {
            co_return fail(DeliveryError::eventFailed());
        }
        presses.push_back(std::move(*press));
    }
    const std::optional<Window> target =
        targetWindow ? std::optional<Window>(static_cast<Window>(*targetWindow)) : std::nullopt;
    if (target) {
        QCoro::Task<bool> waiting =
            focusWait([&display, &target] { return X11KeyFocus::reaches(display.get(), *target); },
                      focusArrival);
        const bool arrived = co_await waiting;
        if (!arrived) {
            co_return fail(DeliveryError::focusLost());
        }
    }
    if (!keyboard->releaseHeldModifiers()) {
        co_return fail(DeliveryError::eventFailed());
    }
    std::optional<DeliveryError> failure;
    bool typed = false;
    for (const Press& press : presses) {
        // Checked before every key, Return included, so nothing goes to a window that took the
        // focus meanwhile. What was typed before cannot be taken back.
        if (target && !X11KeyFocus::reaches(display.get(), *target)) {
            failure = DeliveryError::focusLost();
            break;
        }
        if (!keyboard->type(press)) {
            failure = DeliveryError::eventFailed();
            break;
        }
        typed = true;
        QCoro::Task<> pausing = PreciseTimer::sleepFor(keyInterval);
        co_await pausing;
    }
    if (typed && keyboard->lendsKeys()) {
        QCoro::Task<> grace = PreciseTimer::sleepFor(lentKeyGrace);
        co_await grace;
    }
    keyboard->restore();
    if (failure) {
        co_return fail(*failure);
    }
    co_return Result<void, DeliveryError>{};
}

} // namespace X11Typing

} // namespace zemlar
