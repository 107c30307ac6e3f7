// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

/// The module's own texts. The recorder looks its message keys up through Qt's translation
/// system in the context "KeyboardShortcuts"; the English table below gives them readable text.
namespace zemlar::KeyboardShortcuts::Translations {

inline constexpr const char* context = "KeyboardShortcuts";

/// Installs the English table on the application once (later calls do nothing). Translators
/// installed afterwards, for other languages, take precedence.
void install();

/// The English text of a message key, if the table has one.
std::optional<QString> english(const char* key);

/// The translated text of a message key (the key itself when no translator knows it).
QString text(const char* key);

} // namespace zemlar::KeyboardShortcuts::Translations
