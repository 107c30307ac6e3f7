// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Shortcut.hpp"

#include <QString>
#include <optional>

namespace zemlar::KeyboardShortcuts {

/// The name under which a shortcut is stored and listened to.
///
/// Creating a name with a default stores the default under its settings key when the settings
/// hold no entry for it yet (a first launch); a later user choice, including removal, is kept.
struct Name {
    QString rawValue;
    std::optional<Shortcut> defaultShortcut;

    explicit Name(QString rawValue, std::optional<Shortcut> defaultShortcut = std::nullopt);

    bool operator==(const Name&) const = default;
};

/// The user-defaults key of a name: "KeyboardShortcuts_" followed by its raw value.
QString settingsKey(const QString& rawValue);

/// The stored shortcut of a name; nothing when removed, absent or unreadable.
std::optional<Shortcut> getShortcut(const Name& name);
std::optional<Shortcut> getShortcut(const QString& rawValue);

/// Stores a shortcut, or removes it with `std::nullopt` (a name with a default then holds the
/// Boolean false so that the default is not stored again), and announces the change.
void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);

/// Puts the default back (or removes the entry of a name without a default) and announces it.
void reset(const Name& name);

} // namespace zemlar::KeyboardShortcuts
