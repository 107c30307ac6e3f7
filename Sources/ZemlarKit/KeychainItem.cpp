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

Result<void, SecretStoreError> store(const std::string& service, const std::string& account,
                                     const Bytes& data) {
    SecretValue* value =
        secret_value_new(reinterpret_cast<const gchar*>(data.data()),
                         static_cast<gssize>(data.size()), "application/octet-stream");
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

} // namespace

Result<Bytes, SecretStoreError> read(std::string_view serviceName, std::string_view accountName) {
    const std::string service(serviceName);
    const std::string account(accountName);
    GError* error = nullptr;
    SecretValue* value =
        secret_password_lookup_binary_sync(&schema(), nullptr, &error, "service", service.c_str(),
                                           "account", account.c_str(), nullptr);
    if (error != nullptr) {
        if (value != nullptr) {
            secret_value_unref(value);
        }
        return fail(failure(error));
    }
    if (value == nullptr) {
        return fail(SecretStoreError::notFound());
    }
    gsize length = 0;
    const gchar* data = secret_value_get(value, &length);
    Bytes bytes(reinterpret_cast<const std::uint8_t*>(data),
                reinterpret_cast<const std::uint8_t*>(data) + length);
    secret_value_unref(value);
    return bytes;
}

Result<void, SecretStoreError> add(std::string_view serviceName, std::string_view accountName,
                                   const Bytes& data) {
    const std::string service(serviceName);
    const std::string account(accountName);
    auto existing = search(service, &account, SECRET_SEARCH_NONE);
    if (!existing) {
        return fail(existing.error());
    }
    const ItemList found{*existing};
    if (found.items != nullptr) {
        return fail(SecretStoreError::duplicate());
    }
    return store(service, account, data);
}

Result<void, SecretStoreError> upsert(std::string_view service, std::string_view account,
                                      const Bytes& data) {
    // Storing replaces the item with the same attributes, or creates it.
    return store(std::string(service), std::string(account), data);
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
