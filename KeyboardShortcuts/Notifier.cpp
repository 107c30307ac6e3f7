// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Notifier.hpp"

namespace zemlar::KeyboardShortcuts {

Notifier& Notifier::instance() {
    static Notifier notifier;
    return notifier;
}

} // namespace zemlar::KeyboardShortcuts
