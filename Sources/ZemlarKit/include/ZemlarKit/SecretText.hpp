// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Crypto.hpp>
#include <QString>
#include <memory>

/// Secrets that arrive as Qt text (passphrases, typed keys, a pasted link).
namespace zemlar::SecretText {

/// The text as UTF-8, wiped when the result dies; Qt's own intermediate copy is wiped at once.
Crypto::WipedText utf8(const QString& text);

/// The same, shared by copies of a job that runs elsewhere; wiped when the last copy goes.
std::shared_ptr<const Crypto::WipedText> sharedUTF8(const QString& text);

/// Wipes the text in place when it is its buffer's only owner (taken over with std::move from
/// the widget that had it); a shared buffer is left as it is, for its other owner to wipe.
void wipe(QString& text);

} // namespace zemlar::SecretText
