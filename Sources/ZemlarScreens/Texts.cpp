// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/Texts.hpp"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>
#include <array>
#include <cstring>

namespace zemlar::Texts {
namespace {

struct Entry {
    const char* key;
    const char* text;
};

// The only keys whose English text differs from the key: they name macOS things. This is the
// one table of them; every other key is shown as it is.
constexpr std::array englishTable{
    Entry{"↩ type · ⇧↩ type and submit · ⌘↩ copy · esc close",
          "↩ type · ⇧↩ type and submit · Ctrl+↩ copy · esc close"},
    Entry{"Turn on Zemlar in System Settings → Privacy & Security → Accessibility. You can copy "
          "the code without this permission: ⌘↩.",
          "Zemlar types through the XTEST extension of the X display, which this session does "
          "not offer. You can copy the code without it: Ctrl+↩."},
    Entry{"Require Touch ID to show codes", "Require your password to show codes"},
    Entry{"The secret will be removed from the keychain. The account can then be restored only "
          "from an earlier backup version.",
          "The secret will be removed from the keyring. The account can then be restored only "
          "from an earlier backup version."},
    Entry{"Keychain access error", "Keyring access error"},
    Entry{"iCloud Drive", "the sync folder"},
    Entry{"The file is not an Zemlar backup", "The file is not a Zemlar backup"},
    Entry{"Backup in iCloud Drive", "Backup in the Sync Folder"},
    Entry{"From iCloud Drive", "From the Sync Folder"},
    Entry{"No backup in iCloud Drive, or iCloud Drive is turned off",
          "No backup in the sync folder, or the sync folder is not there"},
    Entry{"A backup was found in iCloud Drive, and there are no accounts yet. Enter the "
          "passphrase to restore them.",
          "A backup was found in the sync folder, and there are no accounts yet. Enter the "
          "passphrase to restore them."},
    Entry{"iPhone", "Phone"},
    Entry{"Last from iPhone", "Last from the phone"},
    Entry{"The file from the iPhone is damaged", "The file from the phone is damaged"},
    Entry{"The iPhone still uses the old passphrase. Enter the new one in Zemlar Mobile.",
          "The phone still uses the old passphrase. Enter the new one in Zemlar Mobile."},
    Entry{"Accounts added in Zemlar Mobile reach this Mac by themselves within a couple of "
          "minutes.",
          "Accounts added in Zemlar Mobile reach this computer by themselves within a couple of "
          "minutes."},
    Entry{
        "Once per session: Zemlar asks again after the screen is locked, the Mac sleeps or Zemlar "
        "restarts. Without Touch ID macOS asks for your password.",
        "Once per session: Zemlar asks again after the screen is locked, the computer sleeps or "
        "Zemlar restarts. A fingerprint reader can stand in for the password where the system "
        "offers one."},
    Entry{"turn off the Touch ID check", "turn off the password check"},
    Entry{"Safari, Chrome and Chromium-based browsers. The first time the panel opens, macOS asks "
          "for permission to control the browser. Account sites are set on the Accounts tab.",
          "Chrome, Chromium-based browsers and Firefox, read through the desktop's accessibility "
          "service. Account sites are set on the Accounts tab."},
    Entry{"Allow Zemlar in System Settings → General → Login Items.",
          "Allow Zemlar in your desktop's startup settings."},
    Entry{
        "Two-factor authentication codes right from the menu bar: open the panel with a shortcut, "
        "find the account and type the code into the field with one keystroke.",
        "Two-factor authentication codes right from the tray: open the panel with a shortcut, find "
        "the account and type the code into the field with one keystroke."},
    Entry{
        "Secrets are kept only in this Mac's keychain. The backup is an encrypted file in iCloud "
        "Drive.",
        "Secrets are kept only in this computer's keyring. The backup is an encrypted file in the "
        "sync folder."},
};

class EnglishTranslator final : public QTranslator {
public:
    bool isEmpty() const override { return false; }

    QString translate(const char* contextName, const char* sourceText, const char*,
                      int) const override {
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

QString format(const char* key, const QStringList& arguments) {
    return fill(text(key), arguments);
}

QString fill(const QString& text, const QStringList& arguments) {
    static const QString integer = QStringLiteral("%lld");
    static const QString object = QStringLiteral("%@");
    QString result;
    qsizetype position = 0;
    qsizetype next = 0;
    while (position < text.size()) {
        const bool isInteger = text.mid(position, integer.size()) == integer;
        const bool isObject = !isInteger && text.mid(position, object.size()) == object;
        if ((isInteger || isObject) && next < arguments.size()) {
            result += arguments[next++];
            position += isInteger ? integer.size() : object.size();
        } else {
            result += text[position++];
        }
    }
    return result;
}

} // namespace zemlar::Texts
