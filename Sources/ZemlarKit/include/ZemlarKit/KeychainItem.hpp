// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Generic-password items of the Secret Service: items with the attributes "service" and
/// "account", created in the default collection with the label "Zemlar".
///
/// Statuses carried by SecretStoreError::keychain: not-found and duplicate keep their keychain
/// values (below, reported as notFound and duplicate); every other failure is one of our own:
/// statusServiceFailure when the Secret Service cannot be reached or refuses the call, and
/// statusLocked when the collection is locked and stays locked.
namespace zemlar::KeychainItem {

inline constexpr std::int32_t statusItemNotFound = -25300;
inline constexpr std::int32_t statusDuplicateItem = -25299;
inline constexpr std::int32_t statusServiceFailure = -67900;
inline constexpr std::int32_t statusLocked = -67901;

inline constexpr std::string_view label = "Zemlar";

/// The item's data; notFound only when no such item exists in any collection, statusLocked
/// when one exists but stays locked (its unlock was refused or no one could be asked).
Result<Bytes, SecretStoreError> read(std::string_view service, std::string_view account);
/// Creates the item in the default collection; duplicate when one with that service and
/// account exists in any collection, locked or not.
Result<void, SecretStoreError> add(std::string_view service, std::string_view account,
                                   const Bytes& data);
/// Replaces the data of the items with that service and account where they live, unlocking
/// them first; notFound when there are none.
Result<void, SecretStoreError> update(std::string_view service, std::string_view account,
                                      const Bytes& data);
/// Replaces the data of the item where it lives, creating it when there is none.
Result<void, SecretStoreError> upsert(std::string_view service, std::string_view account,
                                      const Bytes& data);
/// The account attribute of every item of the service, in the order the service returns them.
Result<std::vector<std::string>, SecretStoreError> accounts(std::string_view service);
/// Deletes the items of that service and account; success also when there are none.
Result<void, SecretStoreError> remove(std::string_view service, std::string_view account);

} // namespace zemlar::KeychainItem
