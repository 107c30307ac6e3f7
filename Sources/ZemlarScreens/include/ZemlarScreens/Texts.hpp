// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// The application's user texts. Each text is its English key, looked up through Qt's
/// translation system in the context "Zemlar"; numbers and names fill its %lld and %@ in order.
namespace zemlar::Texts {

inline constexpr const char* context = "Zemlar";

/// Installs the English table (the few keys that name macOS things, in Linux terms) once.
void install();

/// The Linux rendering of a key, when the English table has one.
std::optional<QString> english(const char* key);

/// The text shown for a key.
QString text(const char* key);

/// The text shown for a key with its %lld and %@ placeholders filled by `arguments` in order;
/// placeholders without an argument stay as they are, extra arguments are ignored.
QString format(const char* key, const QStringList& arguments);

/// Fills the placeholders of an already translated text.
QString fill(const QString& text, const QStringList& arguments);

} // namespace zemlar::Texts
