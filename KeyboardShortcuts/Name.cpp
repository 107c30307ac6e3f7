// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Name.hpp"

#include "KeyboardShortcuts/Notifier.hpp"
#include "KeyboardShortcuts/Translations.hpp"

#include <QSettings>
#include <QVariant>
#include <utility>

namespace zemlar::KeyboardShortcuts {
namespace {

QSettings userDefaults() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"));
}

void store(const std::optional<Shortcut>& shortcut, const Name& name) {
    QSettings settings = userDefaults();
    const QString key = settingsKey(name.rawValue);
    if (shortcut) {
        settings.setValue(key, shortcut->jsonString());
    } else if (name.defaultShortcut) {
        settings.setValue(key, false);
    } else {
        settings.remove(key);
    }
    settings.sync();
}

} // namespace

Name::Name(QString rawValue, std::optional<Shortcut> defaultShortcut)
    : rawValue(std::move(rawValue)), defaultShortcut(defaultShortcut) {
    Translations::install();
    if (!this->defaultShortcut) {
        return;
    }
    QSettings settings = userDefaults();
    const QString key = settingsKey(this->rawValue);
    if (!settings.contains(key)) {
        settings.setValue(key, this->defaultShortcut->jsonString());
        settings.sync();
    }
}

QString settingsKey(const QString& rawValue) {
    return QStringLiteral("KeyboardShortcuts_") + rawValue;
}

std::optional<Shortcut> getShortcut(const QString& rawValue) {
    const QVariant value = userDefaults().value(settingsKey(rawValue));
    // The removal marker reads back as a Boolean, or as the text "false" from the settings file;
    // neither is a JSON object, so both fall out here.
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return Shortcut::fromJSONString(value.toString());
}

std::optional<Shortcut> getShortcut(const Name& name) {
    return getShortcut(name.rawValue);
}

void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    store(shortcut, name);
    Notifier::instance().post(name.rawValue);
}

void reset(const Name& name) {
    QSettings settings = userDefaults();
    const QString key = settingsKey(name.rawValue);
    if (name.defaultShortcut) {
        settings.setValue(key, name.defaultShortcut->jsonString());
    } else {
        settings.remove(key);
    }
    settings.sync();
    Notifier::instance().post(name.rawValue);
}

} // namespace zemlar::KeyboardShortcuts
