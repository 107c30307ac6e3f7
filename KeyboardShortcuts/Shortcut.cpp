// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Shortcut.hpp"

#include "KeyboardShortcuts/KeyMapping.hpp"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

namespace zemlar::KeyboardShortcuts {
namespace {

std::optional<int> integerField(const QJsonObject& object, const char* name) {
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

} // namespace

QString Shortcut::jsonString() const {
    const QJsonObject object{{"carbonKeyCode", carbonKeyCode},
                             {"carbonModifiers", carbonModifiers}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<Shortcut> Shortcut::fromJSONString(const QString& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const auto keyCode = integerField(object, "carbonKeyCode");
    const auto modifiers = integerField(object, "carbonModifiers");
    if (!keyCode || !modifiers) {
        return std::nullopt;
    }
    return Shortcut{*keyCode, *modifiers};
}

QString Shortcut::modifiersDescription(int carbonModifiers) {
    QString text;
    if (carbonModifiers & CarbonModifier::command) {
        text += QStringLiteral("Ctrl+");
    }
    if (carbonModifiers & CarbonModifier::option) {
        text += QStringLiteral("Alt+");
    }
    if (carbonModifiers & CarbonModifier::shift) {
        text += QStringLiteral("Shift+");
    }
    if (carbonModifiers & CarbonModifier::control) {
        text += QStringLiteral("Super+");
    }
    return text;
}

QString Shortcut::description() const {
    const auto name = KeyMapping::keyName(carbonKeyCode);
    return modifiersDescription(carbonModifiers) +
           name.value_or(QStringLiteral("Key %1").arg(carbonKeyCode));
}

} // namespace zemlar::KeyboardShortcuts
