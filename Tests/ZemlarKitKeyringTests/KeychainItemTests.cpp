// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyringTesting.hpp"

#include <algorithm>
#define SECRET_API_SUBJECT_TO_CHANGE 1 // for reading the default alias
#include <libsecret/secret.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

using KeychainItemTest = KeyringTest;

/// The labels and collections of the items of a service, as the Secret Service has them.
struct ItemFacts {
    std::vector<std::string> labels;
    std::vector<std::string> collections;
};

ItemFacts factsOf(const std::string& service) {
    ItemFacts facts;
    GError* error = nullptr;
    // Loading no collections: other tests add and remove items at the same time, and loading
    // every item of the default collection would race with them.
    SecretService* secretService = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
    if (secretService == nullptr) {
        ADD_FAILURE() << error->message;
        g_error_free(error);
        return facts;
    }
    GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
    g_hash_table_insert(attributes, const_cast<char*>("service"),
                        const_cast<char*>(service.c_str()));
    GList* items = secret_service_search_sync(secretService, nullptr, attributes, SECRET_SEARCH_ALL,
                                              nullptr, &error);
    if (error != nullptr) {
        ADD_FAILURE() << error->message;
        g_error_free(error);
    }
    for (GList* node = items; node != nullptr; node = node->next) {
        auto* item = SECRET_ITEM(node->data);
        gchar* label = secret_item_get_label(item);
        facts.labels.emplace_back(label);
        g_free(label);
        const std::string path = g_dbus_proxy_get_object_path(G_DBUS_PROXY(item));
        facts.collections.push_back(path.substr(0, path.rfind('/')));
    }
    g_list_free_full(items, g_object_unref);
    g_hash_table_unref(attributes);
    g_object_unref(secretService);
    return facts;
}

std::string defaultCollectionPath() {
    GError* error = nullptr;
    SecretService* secretService = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
    EXPECT_EQ(error, nullptr);
    gchar* path = secret_service_read_alias_dbus_path_sync(secretService, SECRET_COLLECTION_DEFAULT,
                                                           nullptr, &error);
    EXPECT_EQ(error, nullptr);
    std::string text = path == nullptr ? "" : path;
    g_free(path);
    g_object_unref(secretService);
    return text;
}

} // namespace

TEST_F(KeychainItemTest, AddRefusesADuplicateAndUpsertReplaces) {
    EXPECT_EQ(KeychainItem::read(service, "one").error(), SecretStoreError::notFound());
    const Bytes data{0, 1, 2, 0, 255, 'x'};
    ASSERT_TRUE(KeychainItem::add(service, "one", data).has_value());
    EXPECT_EQ(KeychainItem::read(service, "one").value(), data);
    EXPECT_EQ(KeychainItem::add(service, "one", Bytes{9}).error(), SecretStoreError::duplicate());
    EXPECT_EQ(KeychainItem::read(service, "one").value(), data);

    ASSERT_TRUE(KeychainItem::upsert(service, "vault", bytesOf("first")).has_value());
    ASSERT_TRUE(KeychainItem::upsert(service, "vault", bytesOf("second")).has_value());
    EXPECT_EQ(KeychainItem::read(service, "vault").value(), bytesOf("second"));
    EXPECT_EQ(KeychainItem::accounts(service).value().size(), 2u) << "upsert replaces its item";
}

TEST_F(KeychainItemTest, ItemsAreLabelledZemlarInTheDefaultCollection) {
    ASSERT_TRUE(KeychainItem::add(service, "a", bytesOf("1")).has_value());
    ASSERT_TRUE(KeychainItem::upsert(service, "b", bytesOf("2")).has_value());
    const ItemFacts facts = factsOf(service);
    EXPECT_EQ(facts.labels, (std::vector<std::string>{"Zemlar", "Zemlar"}));
    const std::string collection = defaultCollectionPath();
    ASSERT_FALSE(collection.empty());
    EXPECT_EQ(facts.collections, (std::vector<std::string>{collection, collection}));
}

TEST_F(KeychainItemTest, ListsTheAccountsOfOneServiceAndRemovesItems) {
    EXPECT_EQ(KeychainItem::accounts(service).value(), std::vector<std::string>{});
    for (const char* account : {"a", "b", "c"}) {
        ASSERT_TRUE(KeychainItem::add(service, account, bytesOf(account)).has_value());
    }
    ASSERT_TRUE(KeychainItem::add(service + ".x", "z", bytesOf("z")).has_value());
    auto accounts = KeychainItem::accounts(service).value();
    std::sort(accounts.begin(), accounts.end());
    EXPECT_EQ(accounts, (std::vector<std::string>{"a", "b", "c"}));

    ASSERT_TRUE(KeychainItem::remove(service, "b").has_value());
    EXPECT_TRUE(KeychainItem::remove(service, "b").has_value()) << "nothing to remove is fine";
    EXPECT_EQ(KeychainItem::read(service, "b").error(), SecretStoreError::notFound());
    EXPECT_EQ(KeychainItem::accounts(service).value().size(), 2u);
    EXPECT_EQ(KeychainItem::read(service + ".x", "z").value(), bytesOf("z"));
}

// An item another tool put in another collection is written where it lives, never shadowed by
// a second item in the default collection that later reads might miss.
TEST_F(KeychainItemTest, UpsertWritesTheItemWhereItLives) {
    SecretSchema schema{};
    schema.name = "other.tool";
    schema.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
    schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
    schema.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
    GError* error = nullptr;
    ASSERT_TRUE(secret_password_store_sync(&schema, SECRET_COLLECTION_SESSION, "elsewhere", "old",
                                           nullptr, &error, "service", service.c_str(), "account",
                                           "vault", nullptr));
    const std::vector<std::string> sessionCollection = factsOf(service).collections;

    ASSERT_TRUE(KeychainItem::upsert(service, "vault", bytesOf("new")).has_value());
    EXPECT_EQ(factsOf(service).collections, sessionCollection);
    EXPECT_EQ(KeychainItem::read(service, "vault").value(), bytesOf("new"));
    EXPECT_EQ(KeychainItem::add(service, "vault", bytesOf("x")).error(),
              SecretStoreError::duplicate());
}
