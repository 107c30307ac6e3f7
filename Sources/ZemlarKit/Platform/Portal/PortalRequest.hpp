// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <chrono>
#include <cstdint>
#include <optional>
#include <qcoro/qcorotask.h>

/// The desktop portal's calls: a method answers at once with a request object, and the outcome
/// arrives later as that request's Response signal, often after a dialog.
namespace zemlar::Portal {

inline constexpr const char* service = "org.freedesktop.portal.Desktop";
inline constexpr const char* objectPath = "/org/freedesktop/portal/desktop";

struct Response {
    enum Code : std::uint32_t { success = 0, cancelled = 1, ended = 2 };

    std::uint32_t code = ended;
    QVariantMap results;

    bool succeeded() const { return code == success; }
};

/// A token unique within this process, for the `handle_token` and `session_handle_token`
/// options.
QString newToken();

/// Calls `method` of the portal's `interface` with the arguments followed by the options (which
/// gain a `handle_token`) and waits for the Response; a failed call, or none within `timeout`,
/// gives `ended`.
QCoro::Task<Response> request(QDBusConnection bus, QString interface, QString method,
                              QVariantList arguments, QVariantMap options,
                              std::chrono::milliseconds timeout);

/// Calls a method that answers directly; whether the call succeeded.
QCoro::Task<bool> call(QDBusConnection bus, QString interface, QString method,
                       QVariantList arguments);

/// The `version` property of a portal interface; nothing where the interface is not offered.
std::optional<std::uint32_t> version(QDBusConnection bus, const QString& interface);

/// The session handle of a CreateSession response (an object path or its text).
QString sessionHandle(const QVariantMap& results);

/// Tells the portal which application this process is, for desktops that identify an
/// unsandboxed application by it; portals without the registry ignore it. Call before any other
/// portal call.
void registerApplication(QDBusConnection bus, const QString& applicationID);

/// Ends a session; the answer is not awaited.
void closeSession(QDBusConnection bus, const QString& sessionHandle);

} // namespace zemlar::Portal
