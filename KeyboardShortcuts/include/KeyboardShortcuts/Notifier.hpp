// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace zemlar::KeyboardShortcuts {

/// The change notification "KeyboardShortcuts_shortcutByNameDidChange", posted after every
/// change of a stored shortcut, as a signal of one object living on the main thread.
class Notifier : public QObject {
    Q_OBJECT

public:
    static constexpr const char* notificationName = "KeyboardShortcuts_shortcutByNameDidChange";

    static Notifier& instance();

    void post(const QString& rawValue) { emit shortcutByNameDidChange(rawValue); }

signals:
    /// Carries the raw value of the name whose stored shortcut changed.
    void shortcutByNameDidChange(const QString& rawValue);

private:
    Notifier() = default;
};

} // namespace zemlar::KeyboardShortcuts
