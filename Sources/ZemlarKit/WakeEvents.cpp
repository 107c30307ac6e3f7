// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/WakeEvents.hpp"

#include <QObject>
#include <utility>

namespace zemlar {

class WakeEvents::Receiver : public QObject {
    Q_OBJECT

public:
    Receiver(std::function<void()> onWake, QDBusConnection systemBus)
        : onWake_(std::move(onWake)), systemBus_(std::move(systemBus)) {
        if (systemBus_.isConnected()) {
            systemBus_.connect(QString(), QStringLiteral("/org/freedesktop/login1"),
                               QStringLiteral("org.freedesktop.login1.Manager"),
                               QStringLiteral("PrepareForSleep"), this,
                               SLOT(prepareForSleep(bool)));
        }
    }

private slots:
    void prepareForSleep(bool goingToSleep) {
        if (!goingToSleep) {
            onWake_();
        }
    }

private:
    std::function<void()> onWake_;
    QDBusConnection systemBus_;
};

WakeEvents::WakeEvents(std::function<void()> onWake, QDBusConnection systemBus)
    : receiver_(std::make_unique<Receiver>(std::move(onWake), std::move(systemBus))) {}

WakeEvents::~WakeEvents() = default;

} // namespace zemlar

#include "WakeEvents.moc"
