// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/DeviceAuthentication.hpp"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace zemlar {

/// The dialog that carries a PAM conversation. Every call arrives on the main thread.
class AuthenticationPrompter {
public:
    virtual ~AuthenticationPrompter() = default;

    /// An authentication starts; `reason` says what it unlocks. The prompter calls `cancel` when
    /// the user cancels: the authentication then fails at once, even while no question is
    /// waiting (as during a fingerprint reader's wait).
    virtual void begin(const QString& reason, std::function<void()> cancel) = 0;
    /// Asks for an answer (usually the password) and waits for it; nothing when cancelled.
    virtual std::optional<QString> askSecret(const QString& prompt, bool echo) = 0;
    /// Shows a message of the authentication modules, such as a fingerprint reader's request.
    virtual void showMessage(const QString& text, bool isError) = 0;
    /// The authentication has ended.
    virtual void end(bool succeeded) = 0;

protected:
    AuthenticationPrompter() = default;
    AuthenticationPrompter(const AuthenticationPrompter&) = default;
    AuthenticationPrompter& operator=(const AuthenticationPrompter&) = default;
};

/// Authenticates the current user through PAM, with the service "zemlar" when the system
/// configures one and "login" otherwise: `pam_authenticate`, then `pam_acct_mgmt`, and only
/// both succeeding counts. PAM runs on a worker thread so that a fingerprint reader's wait does
/// not block the interface; its questions and messages go to the prompter.
class PamDeviceAuthentication final : public DeviceAuthentication {
public:
    explicit PamDeviceAuthentication(std::shared_ptr<AuthenticationPrompter> prompter,
                                     QStringList configDirectories = systemConfigDirectories());

    QCoro::Task<bool> authenticate(QString reason) override;

    /// The folders where the system keeps its PAM service files.
    static QStringList systemConfigDirectories();
    /// "zemlar" when one of the folders holds a service file of that name, else "login".
    static QString serviceName(const QStringList& configDirectories);
    /// The login name of the user running the application.
    static QString currentUser();

private:
    std::shared_ptr<AuthenticationPrompter> prompter_;
    QStringList configDirectories_;
};

} // namespace zemlar
