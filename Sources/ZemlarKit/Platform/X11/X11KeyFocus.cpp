// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11KeyFocus.hpp"

#include "X11ErrorTrap.hpp"

namespace zemlar::X11KeyFocus {
namespace {

/// The parent of the window; none for the root or a window that is gone.
Window parentOf(Display* display, Window window) {
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return None;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return parent;
}

/// Whether the window is the ancestor or lies inside it.
bool isWithin(Display* display, Window window, Window ancestor) {
    for (Window current = window; current != None; current = parentOf(display, current)) {
        if (current == ancestor) {
            return true;
        }
    }
    return false;
}

/// Whether the pointer is in the window or in one inside it.
bool pointerIsIn(Display* display, Window window) {
    Window current = DefaultRootWindow(display);
    while (current != None) {
        if (current == window) {
            return true;
        }
        Window root = None, child = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int mask = 0;
        if (!XQueryPointer(display, current, &root, &child, &rootX, &rootY, &x, &y, &mask)) {
            return false;
        }
        current = child;
    }
    return false;
}

} // namespace

bool reaches(Display* display, Window target) {
    X11ErrorTrap trap(display);
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    bool reached = false;
    if (focus != None) { // with no focus, key events are thrown away
        if (focus == PointerRoot) {
            focus = DefaultRootWindow(display);
        }
        reached = isWithin(display, focus, target) ||
                  (isWithin(display, target, focus) && pointerIsIn(display, target));
    }
    return trap.succeeded() && reached;
}

} // namespace zemlar::X11KeyFocus
