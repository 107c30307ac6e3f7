// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/Translations.hpp"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>
#include <array>
#include <cstring>

namespace zemlar::KeyboardShortcuts::Translations {
namespace {

struct Entry {
    const char* key;
    const char* text;
};

constexpr std::array englishTable{
    Entry{"record_shortcut", "Record Shortcut"},
    Entry{"press_shortcut", "Press Shortcut"},
    Entry{"keyboard_shortcut_used_by_menu_item",
          "This shortcut cannot be used because a menu item already uses it."},
    Entry{"keyboard_shortcut_disallowed", "This shortcut is not allowed."},
    Entry{"keyboard_shortcut_used_by_system",
          "This shortcut is already taken by another application or by the desktop."},
    Entry{"keyboard_shortcuts_can_be_changed",
          "Most desktops let you change their own shortcuts in the keyboard settings."},
    Entry{"force_use_shortcut", "Use It Anyway"},
};

class EnglishTranslator final : public QTranslator {
public:
    bool isEmpty() const override { return false; }

    QString translate(const char* contextName, const char* sourceText,
                      const char* /*disambiguation*/, int /*n*/) const override {
        if (!contextName || std::strcmp(contextName, context) != 0 || !sourceText) {
            return {};
        }
        return english(sourceText).value_or(QString());
    }
};

} // namespace

void install() {
    static QPointer<EnglishTranslator> installed;
    if (installed || !QCoreApplication::instance()) {
        return;
    }
    installed = new EnglishTranslator;
    installed->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(installed);
}

std::optional<QString> english(const char* key) {
    for (const auto& entry : englishTable) {
        if (std::strcmp(entry.key, key) == 0) {
            return QString::fromUtf8(entry.text);
        }
    }
    return std::nullopt;
}

QString text(const char* key) {
    return QCoreApplication::translate(context, key);
}

} // namespace zemlar::KeyboardShortcuts::Translations
