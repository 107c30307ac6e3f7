// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/ScreenTexts.hpp"

#include <QCoreApplication>
#include <QTranslator>
#include <array>
#include <cstring>
#include <utility>

namespace zemlar::ScreenTexts {

namespace {

/// The keys that would mislead on Linux, with what is shown instead.
constexpr std::array<std::pair<const char*, const char*>, 7> linuxRenderings{{
    {"Require Touch ID to show codes", "Require your password to show codes"},
    {"Once per session: Zemlar asks again after the screen is locked, the Mac sleeps or Zemlar "
     "restarts. Without Touch ID macOS asks for your password.",
     "Once per session: Zemlar asks again after the screen is locked, the computer sleeps or "
     "Zemlar restarts. A fingerprint reader can stand in for the password where the system "
     "offers one."},
    {"turn off the Touch ID check", "turn off the password check"},
    {"Safari, Chrome and Chromium-based browsers. The first time the panel opens, macOS asks for "
     "permission to control the browser. Account sites are set on the Accounts tab.",
     "Chrome, Chromium-based browsers and Firefox, read through the desktop's accessibility "
     "service. Account sites are set on the Accounts tab."},
    {"Allow Zemlar in System Settings → General → Login Items.",
     "Allow Zemlar in your desktop's startup settings."},
    {"Two-factor authentication codes right from the menu bar: open the panel with a shortcut, "
     "find the account and type the code into the field with one keystroke.",
     "Two-factor authentication codes right from the tray: open the panel with a shortcut, find "
     "the account and type the code into the field with one keystroke."},
    {"Secrets are kept only in this Mac's keychain. The backup is an encrypted file in iCloud "
     "Drive.",
     "Secrets are kept only in this computer's keyring. The backup is an encrypted file in the "
     "sync folder."},
}};

class EnglishTable final : public QTranslator {
public:
    bool isEmpty() const override { return false; }

    QString translate(const char* requestedContext, const char* sourceText, const char*,
                      int) const override {
        if (requestedContext == nullptr || std::strcmp(requestedContext, context) != 0) {
            return {};
        }
        return english(sourceText).value_or(QString());
    }
};

} // namespace

void install() {
    static bool installed = false;
    if (installed || QCoreApplication::instance() == nullptr) {
        return;
    }
    installed = true;
    auto* table = new EnglishTable();
    table->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(table);
}

std::optional<QString> english(const char* key) {
    if (key == nullptr) {
        return std::nullopt;
    }
    for (const auto& [source, rendering] : linuxRenderings) {
        if (std::strcmp(source, key) == 0) {
            return QString::fromUtf8(rendering);
        }
    }
    return std::nullopt;
}

QString text(const char* key) {
    return QCoreApplication::translate(context, key);
}

QString text(const char* key, const QStringList& arguments) {
    QString result = text(key);
    qsizetype from = 0;
    for (const QString& argument : arguments) {
        const qsizetype at = result.indexOf(QStringLiteral("%@"), from);
        if (at < 0) {
            break;
        }
        result.replace(at, 2, argument);
        from = at + argument.size();
    }
    return result;
}

} // namespace zemlar::ScreenTexts
