// SPDX-License-Identifier: GPL-3.0-or-later
#include "GnomeCustomShortcut.hpp"

#include <gio/gio.h>
#include <memory>
#include <vector>

namespace zemlar::GnomeCustomShortcut {
namespace {

constexpr const char* listSchema = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char* entrySchema =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr const char* listKey = "custom-keybindings";
constexpr const char* ownPath =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/zemlar/";

struct SchemaRelease {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct ObjectRelease {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Schema = std::unique_ptr<GSettingsSchema, SchemaRelease>;
using Settings = std::unique_ptr<GSettings, ObjectRelease>;

// Looked up first: GSettings aborts the process for a schema that is not installed.
Schema lookup(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) {
        return nullptr;
    }
    return Schema(g_settings_schema_source_lookup(source, id, TRUE));
}

} // namespace

bool available() {
    return lookup(listSchema) && lookup(entrySchema);
}

bool add(const std::string& name, const std::string& command, const std::string& binding) {
    const Schema list = lookup(listSchema);
    const Schema entry = lookup(entrySchema);
    if (!list || !entry) {
        return false;
    }
    const Settings own(g_settings_new_full(entry.get(), nullptr, ownPath));
    const bool written = g_settings_set_string(own.get(), "name", name.c_str()) &&
                         g_settings_set_string(own.get(), "command", command.c_str()) &&
                         g_settings_set_string(own.get(), "binding", binding.c_str());
    if (!written) {
        return false;
    }
    const Settings keys(g_settings_new_full(list.get(), nullptr, nullptr));
    gchar** paths = g_settings_get_strv(keys.get(), listKey);
    const bool listed = g_strv_contains(paths, ownPath);
    bool stored = true;
    if (!listed) {
        std::vector<const gchar*> extended(paths, paths + g_strv_length(paths));
        extended.push_back(ownPath);
        extended.push_back(nullptr);
        stored = g_settings_set_strv(keys.get(), listKey, extended.data());
    }
    g_strfreev(paths);
    g_settings_sync();
    return stored;
}

} // namespace zemlar::GnomeCustomShortcut
