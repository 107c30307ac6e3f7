// SPDX-License-Identifier: GPL-3.0-or-later
#include "HotKeyCenter.hpp"

#include "KeyboardShortcuts/HotKeyBackend.hpp"
#include "KeyboardShortcuts/KeyMapping.hpp"
#include "KeyboardShortcuts/Notifier.hpp"

#include <QMetaObject>
#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

// Xlib last: its macros (None, Bool, KeyPress…) clash with Qt's names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace zemlar::KeyboardShortcuts::HotKeyCenter {
namespace {

int grabErrorCount = 0;
int badAccessCount = 0;

int recordGrabError(Display* /*display*/, XErrorEvent* error) {
    ++grabErrorCount;
    if (error->error_code == BadAccess) {
        ++badAccessCount;
    }
    return 0;
}

struct Grab {
    KeyCode keycode;
    unsigned mask;

    bool operator==(const Grab&) const = default;
};

enum class GrabOutcome { grabbed, taken, failed };

class Center {
public:
    static Center& shared() {
        // Never destroyed: the X connection and its socket watcher end with the process.
        static Center* center = new Center;
        return *center;
    }

    // Only the first listener of a name registers its shortcut and only the last one releases it.
    void addListener(EventListener* listener) {
        const bool first = !hasListeners(listener->rawValue());
        listeners_.push_back(listener);
        if (first) {
            refresh(listener->rawValue());
        }
    }

    void removeListener(EventListener* listener) {
        std::erase(listeners_, listener);
        if (!hasListeners(listener->rawValue())) {
            refresh(listener->rawValue());
        }
    }

    bool isTakenByAnotherClient(const Shortcut& shortcut) {
        const auto grab = grabFor(shortcut);
        if (!grab) {
            return false;
        }
        if (isGrabbedByUs(*grab)) {
            return false;
        }
        const GrabOutcome outcome = tryGrab(*grab);
        if (outcome == GrabOutcome::grabbed) {
            ungrab(*grab);
        }
        return outcome == GrabOutcome::taken;
    }

    void setPaused(bool paused) {
        paused_ = paused;
        for (const QString& rawValue : listenedNames()) {
            refresh(rawValue);
        }
    }

private:
    Center() {
        QObject::connect(&Notifier::instance(), &Notifier::shortcutByNameDidChange, &context_,
                         [this](const QString& rawValue) { refresh(rawValue); });
        display_ = XOpenDisplay(nullptr);
        if (!display_) {
            return;
        }
        XkbSetDetectableAutoRepeat(display_, True, nullptr);
        numLockMask_ = findNumLockMask();
        watcher_ =
            std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
        QObject::connect(watcher_.get(), &QSocketNotifier::activated, &context_,
                         [this] { processEvents(); });
    }

    unsigned findNumLockMask() const {
        unsigned mask = Mod2Mask;
        XModifierKeymap* map = XGetModifierMapping(display_);
        if (!map) {
            return mask;
        }
        const KeyCode numLock = XKeysymToKeycode(display_, XK_Num_Lock);
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int index = 0; index < map->max_keypermod; ++index) {
                const KeyCode code = map->modifiermap[modifier * map->max_keypermod + index];
                if (numLock != 0 && code == numLock) {
                    mask = 1U << modifier;
                }
            }
        }
        XFreeModifiermap(map);
        return mask;
    }

    std::vector<QString> listenedNames() const {
        std::vector<QString> names;
        for (const EventListener* listener : listeners_) {
            if (std::ranges::find(names, listener->rawValue()) == names.end()) {
                names.push_back(listener->rawValue());
            }
        }
        return names;
    }

    bool hasListeners(const QString& rawValue) const {
        return std::ranges::any_of(listeners_, [&](const EventListener* listener) {
            return listener->rawValue() == rawValue;
        });
    }

    std::optional<Grab> grabFor(const Shortcut& shortcut) const {
        const auto keysym = KeyMapping::keysymForCarbonKeyCode(shortcut.carbonKeyCode);
        if (!display_ || !keysym) {
            return std::nullopt;
        }
        const KeyCode keycode = XKeysymToKeycode(display_, *keysym);
        if (keycode == 0) {
            return std::nullopt;
        }
        return Grab{keycode, KeyMapping::xMaskForCarbonModifiers(shortcut.carbonModifiers)};
    }

    bool isGrabbedByUs(const Grab& grab) const {
        return std::ranges::any_of(grabs_, [&](const auto& entry) { return entry.second == grab; });
    }

    std::array<unsigned, 4> lockVariants(unsigned mask) const {
        return {mask, mask | LockMask, mask | numLockMask_, mask | LockMask | numLockMask_};
    }

    GrabOutcome tryGrab(const Grab& grab) {
        const Window root = DefaultRootWindow(display_);
        grabErrorCount = 0;
        badAccessCount = 0;
        XErrorHandler previous = XSetErrorHandler(recordGrabError);
        for (unsigned mask : lockVariants(grab.mask)) {
            XGrabKey(display_, grab.keycode, mask, root, False, GrabModeAsync, GrabModeAsync);
        }
        XSync(display_, False);
        XSetErrorHandler(previous);
        scheduleEventProcessing();
        if (grabErrorCount == 0) {
            return GrabOutcome::grabbed;
        }
        ungrab(grab);
        return badAccessCount > 0 ? GrabOutcome::taken : GrabOutcome::failed;
    }

    void ungrab(const Grab& grab) {
        const Window root = DefaultRootWindow(display_);
        for (unsigned mask : lockVariants(grab.mask)) {
            XUngrabKey(display_, grab.keycode, mask, root);
        }
        XSync(display_, False);
        scheduleEventProcessing();
    }

    void release(const QString& rawValue) {
        const auto found = grabs_.find(rawValue);
        if (found == grabs_.end()) {
            return;
        }
        const Grab grab = found->second;
        grabs_.erase(found);
        std::erase_if(pressed_, [&](const auto& entry) { return entry.second == rawValue; });
        if (!isGrabbedByUs(grab)) {
            ungrab(grab);
        }
    }

    void refresh(const QString& rawValue) {
        release(rawValue);
        if (paused_ || !hasListeners(rawValue)) {
            return;
        }
        const auto shortcut = getShortcut(rawValue);
        if (!shortcut) {
            return;
        }
        const auto grab = grabFor(*shortcut);
        if (!grab || (!isGrabbedByUs(*grab) && tryGrab(*grab) != GrabOutcome::grabbed)) {
            std::fprintf(stderr, "Error registering hotkey %s\n",
                         shortcut->description().toUtf8().constData());
            return;
        }
        grabs_[rawValue] = *grab;
    }

    // Xlib may have read events into its queue during a round trip; the socket then stays quiet.
    void scheduleEventProcessing() {
        QMetaObject::invokeMethod(
            &context_, [this] { processEvents(); }, Qt::QueuedConnection);
    }

    void processEvents() {
        while (display_ && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == KeyPress) {
                keyPressed(event.xkey);
            } else if (event.type == KeyRelease) {
                keyReleased(event.xkey);
            }
        }
    }

    void keyPressed(const XKeyEvent& key) {
        const unsigned mask = key.state & ~(LockMask | numLockMask_);
        const auto code = static_cast<KeyCode>(key.keycode);
        for (const auto& [rawValue, grab] : grabs_) {
            const bool repeat = std::ranges::any_of(
                pressed_, [&](const auto& entry) { return entry.second == rawValue; });
            if (grab.keycode == code && grab.mask == mask && !repeat) {
                pressed_.emplace_back(code, rawValue);
                deliver(rawValue, EventType::keyDown);
            }
        }
    }

    void keyReleased(const XKeyEvent& key) {
        const auto code = static_cast<KeyCode>(key.keycode);
        std::vector<QString> released;
        std::erase_if(pressed_, [&](const auto& entry) {
            if (entry.first != code) {
                return false;
            }
            released.push_back(entry.second);
            return true;
        });
        for (const QString& rawValue : released) {
            deliver(rawValue, EventType::keyUp);
        }
    }

    void deliver(const QString& rawValue, EventType type) {
        KeyboardShortcuts::deliver(listeners_, rawValue, type);
    }

    QObject context_; // the receiver of this never-destroyed object's connections
    Display* display_ = nullptr;
    unsigned numLockMask_ = Mod2Mask;
    std::unique_ptr<QSocketNotifier> watcher_;
    std::vector<EventListener*> listeners_;
    std::map<QString, Grab> grabs_;
    std::vector<std::pair<KeyCode, QString>> pressed_;
    bool paused_ = false;
};

} // namespace

void addListener(EventListener* listener) {
    Center::shared().addListener(listener);
}

void removeListener(EventListener* listener) {
    Center::shared().removeListener(listener);
}

bool isTakenByAnotherClient(const Shortcut& shortcut) {
    return Center::shared().isTakenByAnotherClient(shortcut);
}

void setPaused(bool paused) {
    Center::shared().setPaused(paused);
}

} // namespace zemlar::KeyboardShortcuts::HotKeyCenter
