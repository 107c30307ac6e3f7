// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for parts of the application that are built elsewhere: the session lock, the
// settings and about windows and the code delivery. Each is replaced by the real class; this
// file then goes away.
#pragma once

#include "DeliveryMethods.hpp"

#include <QWidget>
#include <qcoro/qcorotask.h>

namespace zemlar {

/// The optional unlock step before the panel shows codes; this stand-in never locks.
class SessionLock {
public:
    bool isEnabled() const { return false; }
    bool unlocked() const { return true; }
    QCoro::Task<bool> unlock();
};

/// The settings window with its four tabs, all empty in this stand-in.
QWidget* makeSettingsWindow();

/// The about window.
QWidget* makeAboutWindow();

/// Delivery before the typing and clipboard methods exist: every run fails.
class PendingDeliveryMethods final : public DeliveryMethods {
public:
    bool prepare(const Account&, SubmitMode) override { return true; }
    QCoro::Task<std::optional<DeliveryFailure>> run(Account account, SubmitMode mode,
                                                    Date now) override;
};

} // namespace zemlar
