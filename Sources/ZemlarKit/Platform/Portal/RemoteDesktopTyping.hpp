// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/CodeDelivery.hpp"
#include "ZemlarKit/SecretVault.hpp"

#include <QDBusConnection>
#include <chrono>
#include <memory>

namespace zemlar {

/// Types the code through the org.freedesktop.portal.RemoteDesktop portal, as keysyms, so any
/// keyboard layout gives the right digits. Each delivery runs one remote-desktop session with a
/// keyboard: the desktop asks the user the first time, and the restore token it hands back
/// ("until revoked") is kept in the vault so that later sessions start without asking. The
/// session ends after the last key so that the desktop's "being controlled" indicator goes away.
class RemoteDesktopTyping final : public CodeDelivery {
public:
    static constexpr const char* interface = "org.freedesktop.portal.RemoteDesktop";

    RemoteDesktopTyping(std::shared_ptr<SecretVault> vault, bool pressReturn,
                        std::chrono::milliseconds keyInterval = std::chrono::milliseconds(10),
                        QDBusConnection bus = QDBusConnection::sessionBus());

    /// Whether the desktop offers the portal with a keyboard device.
    static bool offered(QDBusConnection bus = QDBusConnection::sessionBus());

    /// Success where the portal is offered; otherwise accessibilityDenied.
    Result<void, DeliveryError> prepare() override;
    /// Types the digits (then Return when `pressReturn`); accessibilityDenied when the user or
    /// the desktop refuses the session, eventFailed when a key is refused.
    QCoro::Task<Result<void, DeliveryError>> deliver(std::string code) override;

private:
    QCoro::Task<QString> startSession();
    QCoro::Task<bool> typeKeysym(QString session, int keysym);
    std::optional<std::string> restoreToken() const;
    void keepRestoreToken(const QVariantMap& results) const;

    std::shared_ptr<SecretVault> vault_;
    bool pressReturn_;
    std::chrono::milliseconds keyInterval_;
    QDBusConnection bus_;
};

} // namespace zemlar
