// SPDX-License-Identifier: GPL-3.0-or-later
#include "GlobalShortcutsPortal.hpp"

#include "PortalRequest.hpp"
#include "PortalShortcut.hpp"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <chrono>

namespace zemlar {
namespace {

using namespace std::chrono_literals;

/// The desktop may show a dialog and wait for the user.
constexpr std::chrono::milliseconds dialogTimeout = 10min;

QString iface() {
    return QString::fromLatin1(GlobalShortcutsPortal::interface);
}

} // namespace

GlobalShortcutsPortal::GlobalShortcutsPortal(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    PortalShortcut::registerType();
    listen("Activated", SLOT(receiveActivated(QDBusMessage)));
    listen("Deactivated", SLOT(receiveDeactivated(QDBusMessage)));
    listen("ShortcutsChanged", SLOT(receiveShortcutsChanged(QDBusMessage)));
}

GlobalShortcutsPortal::~GlobalShortcutsPortal() {
    if (!session_.isEmpty()) {
        Portal::closeSession(bus_, session_);
    }
}

void GlobalShortcutsPortal::listen(const char* signal, const char* slot) {
    bus_.connect(QString::fromLatin1(Portal::service), QString::fromLatin1(Portal::objectPath),
                 iface(), QString::fromLatin1(signal), this, slot);
}

bool GlobalShortcutsPortal::offered(QDBusConnection bus) {
    return Portal::version(std::move(bus), iface()).has_value();
}

QCoro::Task<bool> GlobalShortcutsPortal::openSession() {
    if (!session_.isEmpty()) {
        co_return true;
    }
    const QVariantMap options{{QStringLiteral("session_handle_token"), Portal::newToken()}};
    auto requesting =
        Portal::request(bus_, iface(), QStringLiteral("CreateSession"), {}, options, dialogTimeout);
    const auto response = co_await requesting;
    if (response.succeeded()) {
        session_ = Portal::sessionHandle(response.results);
    }
    co_return !session_.isEmpty();
}

QCoro::Task<bool> GlobalShortcutsPortal::bind(std::vector<Shortcut> shortcuts) {
    auto opening = openSession();
    const bool open = co_await opening;
    if (!open) {
        co_return false;
    }
    QList<PortalShortcut> wanted;
    for (const Shortcut& shortcut : shortcuts) {
        wanted.append(
            PortalShortcut::wanted(shortcut.id, shortcut.description, shortcut.preferredTrigger));
    }
    auto binding =
        requestShortcuts(QStringLiteral("BindShortcuts"), {QVariant::fromValue(wanted), QString()});
    const bool bound = co_await binding;
    co_return bound;
}

QCoro::Task<bool> GlobalShortcutsPortal::refresh() {
    if (session_.isEmpty()) {
        co_return false;
    }
    auto listing = requestShortcuts(QStringLiteral("ListShortcuts"), {});
    const bool listed = co_await listing;
    co_return listed;
}

QCoro::Task<bool> GlobalShortcutsPortal::requestShortcuts(QString method, QVariantList arguments) {
    arguments.prepend(QVariant::fromValue(QDBusObjectPath(session_)));
    auto requesting = Portal::request(bus_, iface(), method, arguments, {}, dialogTimeout);
    const auto response = co_await requesting;
    if (response.succeeded()) {
        takeTriggers(response.results.value(QStringLiteral("shortcuts")));
    }
    co_return response.succeeded();
}

std::optional<QString> GlobalShortcutsPortal::trigger(const QString& id) const {
    const auto found = triggers_.find(id);
    if (found == triggers_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void GlobalShortcutsPortal::takeTriggers(const QVariant& shortcuts) {
    for (const PortalShortcut& shortcut : PortalShortcut::list(shortcuts)) {
        triggers_[shortcut.id] = shortcut.triggerDescription();
    }
    emit triggersChanged();
}

std::optional<QString> GlobalShortcutsPortal::ownShortcut(const QDBusMessage& message) const {
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || arguments[0].value<QDBusObjectPath>().path() != session_) {
        return std::nullopt;
    }
    return arguments[1].toString();
}

void GlobalShortcutsPortal::receiveActivated(const QDBusMessage& message) {
    if (const auto id = ownShortcut(message)) {
        emit activated(*id);
    }
}

void GlobalShortcutsPortal::receiveDeactivated(const QDBusMessage& message) {
    if (const auto id = ownShortcut(message)) {
        emit deactivated(*id);
    }
}

void GlobalShortcutsPortal::receiveShortcutsChanged(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() >= 2 && arguments[0].value<QDBusObjectPath>().path() == session_) {
        takeTriggers(arguments[1]);
    }
}

} // namespace zemlar
