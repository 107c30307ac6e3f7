// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/KeychainItem.hpp"

#include <OTPCore/Crypto.hpp>
#include <libsecret/secret.h>

namespace zemlar::KeychainItem {
namespace {

const SecretSchema& schema() {
    static const SecretSchema value = [] {
        SecretSchema built{};
        built.name = "app.zemlar.Zemlar.GenericPassword";
        // Items are matched by service and account alone, whoever created them.
        built.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        built.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
        built.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return built;
    }();
    return value;
}

SecretStoreError failure(GError* error) {
    const bool locked =
        error != nullptr && error->domain == SECRET_ERROR && error->code == SECRET_ERROR_IS_LOCKED;
    g_clear_error(&error);
    return SecretStoreError::keychain(locked ? statusLocked : statusServiceFailure);
}

struct ItemList {
    GList* items = nullptr;
    ~ItemList() { g_list_free_full(items, g_object_unref); }
};

/// The items of the service (and of the account, when one is given).
Result<GList*, SecretStoreError> search(const std::string& service, const std::string* account,
                                        SecretSearchFlags flags) {
    GError* error = nullptr;
    GList* items =
        account == nullptr
            ? secret_password_search_sync(&schema(), flags, nullptr, &error, "service",
                                          service.c_str(), nullptr)
            : secret_password_search_sync(&schema(), flags, nullptr, &error, "service",
                                          service.c_str(), "account", account->c_str(), nullptr);
    if (error != nullptr) {
        g_list_free_full(items, g_object_unref);
        return fail(failure(error));
    }
    return items;
}

SecretValue* secretValue(const Bytes& data) {
    return secret_value_new(reinterpret_cast<const gchar*>(data.data()),
                            static_cast<gssize>(data.size()), "application/octet-stream");
}

Bytes bytesOf(SecretValue* value) {
    gsize length = 0;
    const gchar* data = secret_value_get(value, &length);
    Bytes bytes(reinterpret_cast<const std::uint8_t*>(data),
                reinterpret_cast<const std::uint8_t*>(data) + length);
    secret_value_unref(value);
    return bytes;
}

Result<void, SecretStoreError> store(const std::string& service, const std::string& account,
                                     const Bytes& data) {
    SecretValue* value = secretValue(data);
    const std::string itemLabel(label);
    GError* error = nullptr;
    secret_password_store_binary_sync(&schema(), SECRET_COLLECTION_DEFAULT, itemLabel.c_str(),
                                      value, nullptr, &error, "service", service.c_str(), "account",
                                      account.c_str(), nullptr);
    secret_value_unref(value);
    if (error != nullptr) {
        return fail(failure(error));
    }
    return {};
}

/// Why a lookup gave no value: notFound only when no item exists in any collection, locked
/// when one exists (its unlock was refused or could not be asked for), else the lookup's error.
SecretStoreError unreadable(const std::string& service, const std::string& account,
                            GError* lookupError) {
    auto probe = search(service, &account, SECRET_SEARCH_ALL);
    if (probe && *probe != nullptr) {
        g_list_free_full(*probe, g_object_unref);
        g_clear_error(&lookupError);
        return SecretStoreError::keychain(statusLocked);
    }
    if (lookupError != nullptr) {
        return failure(lookupError);
    }
    return probe ? SecretStoreError::notFound() : probe.error();
}

Result<void, SecretStoreError> setSecret(gpointer object, const Bytes& data) {
    if (!SECRET_IS_ITEM(object)) {
        return fail(SecretStoreError::keychain(statusServiceFailure));
    }
    SecretValue* value = secretValue(data);
    GError* error = nullptr;
    secret_item_set_secret_sync(SECRET_ITEM(object), value, nullptr, &error);
    secret_value_unref(value);
    if (error != nullptr) {
        return fail(failure(error));
    }
    return {};
}

} // namespace

Result<Bytes, SecretStoreError> read(std::string_view serviceName, std::string_view accountName) {
    const std::string service(serviceName);
    const std::string account(accountName);
    GError* error = nullptr;
    SecretValue* value =
        secret_password_lookup_binary_sync(&schema(), nullptr, &error, "service", service.c_str(),
                                           "account", account.c_str(), nullptr);
    if (value != nullptr && error == nullptr) {
        return bytesOf(value);
    }
    if (value != nullptr) {
        secret_value_unref(value);
    }
    // A lookup whose unlock was refused or failed comes back empty, sometimes without an error:
    // only a search that finds no item at all proves there is none.
    return fail(unreadable(service, account, error));
}

Result<void, SecretStoreError> add(std::string_view serviceName, std::string_view accountName,
                                   const Bytes& data) {
    const std::string service(serviceName);
    const std::string account(accountName);
    auto existing = search(service, &account, SECRET_SEARCH_ALL);
    if (!existing) {
        return fail(existing.error());
    }
    const ItemList found{*existing};
    if (found.items != nullptr) {
        return fail(SecretStoreError::duplicate());
    }
    return store(service, account, data);
}

Result<void, SecretStoreError> update(std::string_view serviceName, std::string_view accountName,
                                      const Bytes& data) {
    const std::string service(serviceName);
    const std::string account(accountName);
    auto existing =
        search(service, &account,
               static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK));
    if (!existing) {
        return fail(existing.error());
    }
    const ItemList found{*existing};
    if (found.items == nullptr) {
        return fail(SecretStoreError::notFound());
    }
    for (GList* node = found.items; node != nullptr; node = node->next) {
        if (auto written = setSecret(node->data, data); !written) {
            return written;
        }
    }
    return {};
}

Result<void, SecretStoreError> upsert(std::string_view service, std::string_view account,
                                      const Bytes& data) {
    auto updated = update(service, account, data);
    if (!updated && updated.error().kind() == SecretStoreError::Kind::notFound) {
        return add(service, account, data);
    }
    return updated;
}

Result<std::vector<std::string>, SecretStoreError> accounts(std::string_view serviceName) {
    const std::string service(serviceName);
    auto searched = search(service, nullptr, SECRET_SEARCH_ALL);
    if (!searched) {
        return fail(searched.error());
    }
    const ItemList found{*searched};
    std::vector<std::string> names;
    for (GList* node = found.items; node != nullptr; node = node->next) {
        GHashTable* attributes = secret_retrievable_get_attributes(SECRET_RETRIEVABLE(node->data));
        if (attributes == nullptr) {
            continue;
        }
        const auto* account = static_cast<const gchar*>(g_hash_table_lookup(attributes, "account"));
        if (account != nullptr) {
            names.emplace_back(account);
        }
        g_hash_table_unref(attributes);
    }
    return names;
}

Result<void, SecretStoreError> remove(std::string_view serviceName, std::string_view accountName) {
    const std::string service(serviceName);
    const std::string account(accountName);
    GError* error = nullptr;
    secret_password_clear_sync(&schema(), nullptr, &error, "service", service.c_str(), "account",
                               account.c_str(), nullptr);
    if (error != nullptr) {
        return fail(failure(error));
    }
    return {};
}

} // namespace zemlar::KeychainItem
