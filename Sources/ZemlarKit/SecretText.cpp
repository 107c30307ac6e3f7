// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SecretText.hpp"

#include <QByteArray>

namespace zemlar::SecretText {

Crypto::WipedText utf8(const QString& text) {
    const Crypto::Wiped<QByteArray> bytes(text.toUtf8());
    return Crypto::WipedText(
        std::string(bytes->constData(), static_cast<std::size_t>(bytes->size())));
}

std::shared_ptr<const Crypto::WipedText> sharedUTF8(const QString& text) {
    const Crypto::Wiped<QByteArray> bytes(text.toUtf8());
    return std::make_shared<const Crypto::WipedText>(
        std::string(bytes->constData(), static_cast<std::size_t>(bytes->size())));
}

void wipe(QString& text) {
    if (!text.isDetached()) {
        text.clear();
        return;
    }
    Crypto::wipe(text);
    text.clear();
}

} // namespace zemlar::SecretText
