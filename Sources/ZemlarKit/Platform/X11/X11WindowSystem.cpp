// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowSystem.hpp"

#include <QGuiApplication>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

namespace zemlar {
namespace {

class X11WindowSystem final : public WindowSystem {
public:
    X11WindowSystem() : display_(XOpenDisplay(nullptr)) {}
    ~X11WindowSystem() override {
        if (display_) {
            XCloseDisplay(display_);
        }
    }
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    std::optional<FrontApp> frontmost() override {
        if (!display_) {
            return std::nullopt;
        }
        const auto window =
            cardinalProperty(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        if (!window || *window == 0) {
            return std::nullopt;
        }
        FrontApp app{.window = *window, .pid = 0, .wmClass = {}, .title = {}};
        if (const auto pid = cardinalProperty(*window, "_NET_WM_PID", XA_CARDINAL)) {
            app.pid = static_cast<std::int64_t>(*pid);
        }
        XClassHint hint{nullptr, nullptr};
        if (XGetClassHint(display_, static_cast<Window>(*window), &hint) != 0) {
            if (hint.res_class) {
                app.wmClass = hint.res_class;
            }
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        app.title = title(*window);
        return app;
    }

    void activate(const FrontApp& app) override {
        if (!display_ || app.window == 0) {
            return;
        }
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = static_cast<Window>(app.window);
        event.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // source: a pager, which window managers always honour
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, DefaultRootWindow(display_), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display_);
    }

    bool isThisApplicationActive() override {
        if (QGuiApplication::focusWindow()) {
            return true;
        }
        const auto front = frontmost();
        return front && isThisApplication(*front);
    }

    bool isThisApplication(const FrontApp& app) override {
        return app.pid == static_cast<std::int64_t>(getpid());
    }

private:
    std::string title(std::uint64_t window) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        const int status = XGetWindowProperty(
            display_, static_cast<Window>(window), XInternAtom(display_, "_NET_WM_NAME", False), 0,
            1024, False, XInternAtom(display_, "UTF8_STRING", False), &actualType, &actualFormat,
            &count, &remaining, &data);
        std::string text;
        if (status == Success && data && actualFormat == 8) {
            text.assign(reinterpret_cast<const char*>(data), count);
        }
        if (data) {
            XFree(data);
        }
        char* name = nullptr;
        if (text.empty() && XFetchName(display_, static_cast<Window>(window), &name) != 0 && name) {
            text = name;
            XFree(name);
        }
        return text;
    }

    std::optional<std::uint64_t> cardinalProperty(std::uint64_t window, const char* name,
                                                  Atom type) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        const Atom property = XInternAtom(display_, name, False);
        const int status =
            XGetWindowProperty(display_, static_cast<Window>(window), property, 0, 1, False, type,
                               &actualType, &actualFormat, &count, &remaining, &data);
        std::optional<std::uint64_t> value;
        if (status == Success && data && count == 1 && actualFormat == 32) {
            value = static_cast<std::uint64_t>(*reinterpret_cast<unsigned long*>(data));
        }
        if (data) {
            XFree(data);
        }
        return value;
    }

    Display* display_;
};

} // namespace

std::shared_ptr<WindowSystem> makeX11WindowSystem() {
    return std::make_shared<X11WindowSystem>();
}

} // namespace zemlar
