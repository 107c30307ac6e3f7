// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

/// The texts of these screens. Each English text is the key looked up through Qt's translation
/// system in the context "Zemlar"; the English table renders the few that describe another
/// platform in Linux terms and leaves every other key as it is.
namespace zemlar::ScreenTexts {

inline constexpr const char* context = "Zemlar";

/// Installs the English table on the application once (later calls do nothing).
void install();

/// The English rendering of a key, when the table has one.
std::optional<QString> english(const char* key);

/// The translated text of a key (the key itself when no translator knows it).
QString text(const char* key);

/// `text(key)` with each "%@" replaced, in order, by the next argument.
QString text(const char* key, const QStringList& arguments);

} // namespace zemlar::ScreenTexts
