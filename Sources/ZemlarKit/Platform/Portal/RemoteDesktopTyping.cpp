// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteDesktopTyping.hpp"

#include "PortalRequest.hpp"

#include <OTPCore/Crypto.hpp>
#include <QCoroTimer>
#include <QDBusObjectPath>
#include <QTimer>
#include <algorithm>

namespace zemlar {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t keyboardDevice = 1;
constexpr std::uint32_t persistUntilRevoked = 2;
constexpr int returnKeysym = 0xff0d;
constexpr std::uint32_t pressed = 1;
constexpr std::uint32_t released = 0;
constexpr std::chrono::milliseconds dialogTimeout = 2min;

QString iface() {
    return QString::fromLatin1(RemoteDesktopTyping::interface);
}

QVariant sessionPath(const QString& session) {
    return QVariant::fromValue(QDBusObjectPath(session));
}

} // namespace

RemoteDesktopTyping::RemoteDesktopTyping(std::shared_ptr<SecretVault> vault, bool pressReturn,
                                         std::chrono::milliseconds keyInterval, QDBusConnection bus)
    : vault_(std::move(vault)), pressReturn_(pressReturn), keyInterval_(keyInterval),
      bus_(std::move(bus)) {}

bool RemoteDesktopTyping::offered(QDBusConnection bus) {
    return Portal::version(std::move(bus), iface()).has_value();
}

Result<void, DeliveryError> RemoteDesktopTyping::prepare() {
    if (!offered(bus_)) {
        return fail(DeliveryError::accessibilityDenied());
    }
    return {};
}

std::optional<std::string> RemoteDesktopTyping::restoreToken() const {
    auto contents = vault_->read();
    if (!contents) {
        return std::nullopt;
    }
    return std::move(contents->remoteDesktopToken);
}

// Tokens are good for one session: each start hands out the next.
void RemoteDesktopTyping::keepRestoreToken(const QVariantMap& results) const {
    const QString token = results.value(QStringLiteral("restore_token")).toString();
    if (token.isEmpty()) {
        return;
    }
    (void)vault_->update([&token](VaultContents& contents) -> Result<void, SecretStoreError> {
        contents.remoteDesktopToken = token.toStdString();
        return {};
    });
}

QCoro::Task<QString> RemoteDesktopTyping::startSession() {
    const QVariantMap sessionOptions{{QStringLiteral("session_handle_token"), Portal::newToken()}};
    auto creating = Portal::request(bus_, iface(), QStringLiteral("CreateSession"), {},
                                    sessionOptions, dialogTimeout);
    const auto created = co_await creating;
    const QString session = Portal::sessionHandle(created.results);
    if (!created.succeeded() || session.isEmpty()) {
        co_return QString();
    }
    QVariantMap deviceOptions{{QStringLiteral("types"), keyboardDevice},
                              {QStringLiteral("persist_mode"), persistUntilRevoked}};
    if (const auto token = restoreToken()) {
        deviceOptions.insert(QStringLiteral("restore_token"), QString::fromStdString(*token));
    }
    auto selecting = Portal::request(bus_, iface(), QStringLiteral("SelectDevices"),
                                     {sessionPath(session)}, deviceOptions, dialogTimeout);
    const auto selected = co_await selecting;
    if (!selected.succeeded()) {
        Portal::closeSession(bus_, session);
        co_return QString();
    }
    auto starting = Portal::request(bus_, iface(), QStringLiteral("Start"),
                                    {sessionPath(session), QString()}, {}, dialogTimeout);
    const auto started = co_await starting;
    if (!started.succeeded()) {
        Portal::closeSession(bus_, session);
        co_return QString();
    }
    keepRestoreToken(started.results);
    co_return session;
}

QCoro::Task<bool> RemoteDesktopTyping::typeKeysym(QString session, int keysym) {
    for (const std::uint32_t state : {pressed, released}) {
        auto sending = Portal::call(bus_, iface(), QStringLiteral("NotifyKeyboardKeysym"),
                                    {sessionPath(session), QVariantMap(), keysym, state});
        const bool sent = co_await sending;
        if (!sent) {
            co_return false;
        }
    }
    auto pausing = QCoro::sleepFor(keyInterval_);
    co_await pausing;
    co_return true;
}

QCoro::Task<Result<void, DeliveryError>> RemoteDesktopTyping::deliver(std::string code) {
    const Crypto::WipedText wipedCode(std::move(code));
    const std::string& digits = wipedCode.value();
    if (digits.empty() ||
        !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) {
        co_return fail(DeliveryError::invalidCode());
    }
    auto starting = startSession();
    const QString session = co_await starting;
    if (session.isEmpty()) {
        co_return fail(DeliveryError::accessibilityDenied());
    }
    bool typed = true;
    for (std::size_t index = 0; typed && index <= digits.size(); ++index) {
        if (index == digits.size() && !pressReturn_) {
            break;
        }
        // A digit's keysym is its ASCII code.
        const int keysym = index < digits.size() ? digits[index] : returnKeysym;
        auto typing = typeKeysym(session, keysym);
        typed = co_await typing;
    }
    Portal::closeSession(bus_, session);
    if (!typed) {
        co_return fail(DeliveryError::eventFailed());
    }
    co_return Result<void, DeliveryError>{};
}

} // namespace zemlar
