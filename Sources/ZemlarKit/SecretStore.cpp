// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/SecretStore.hpp"

#include <OTPCore/Crypto.hpp>

namespace zemlar {
namespace {

/// The steps of replaceAll, ordered so that a failure part-way loses as little as possible:
/// new entries first, then changed ones (remove and add again), stale entries last.
Result<void, SecretStoreError> replaceStored(SecretStore& store, const SecretMap& stored,
                                             const SecretMap& secrets) {
    for (const auto& [id, secret] : secrets) {
        if (!stored.contains(id)) {
            if (auto added = store.add(secret, id); !added) {
                return added;
            }
        }
    }
    for (const auto& [id, secret] : secrets) {
        const auto found = stored.find(id);
        if (found != stored.end() && found->second != secret) {
            if (auto removed = store.remove(id); !removed) {
                return removed;
            }
            if (auto added = store.add(secret, id); !added) {
                return added;
            }
        }
    }
    for (const auto& [id, secret] : stored) {
        if (!secrets.contains(id)) {
            if (auto removed = store.remove(id); !removed) {
                return removed;
            }
        }
    }
    return {};
}

} // namespace

Result<std::set<UUID>, SecretStoreError> SecretStore::addAll(const SecretMap& secrets) {
    std::set<UUID> present;
    std::vector<UUID> added;
    for (const auto& [id, secret] : secrets) {
        auto stored = add(secret, id);
        if (stored) {
            added.push_back(id);
        } else if (stored.error().kind() == SecretStoreError::Kind::duplicate) {
            present.insert(id);
        } else {
            for (const auto& addedID : added) {
                (void)remove(addedID);
            }
            return fail(stored.error());
        }
    }
    return present;
}

Result<void, SecretStoreError> SecretStore::replaceAll(const SecretMap& secrets) {
    auto stored = readAll();
    if (!stored) {
        return fail(stored.error());
    }
    auto outcome = replaceStored(*this, *stored, secrets);
    for (auto& [id, secret] : *stored) {
        Crypto::wipe(secret);
    }
    return outcome;
}

} // namespace zemlar
