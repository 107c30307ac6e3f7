// SPDX-License-Identifier: GPL-3.0-or-later
// Many threads changing one vault at once, and the document they must leave behind.
#pragma once

#include <ZemlarKit/ZemlarKit.hpp>
#include <gtest/gtest.h>
#include <thread>

namespace zemlar::testing {

inline UUID hammeredID(int thread, int index) {
    UUID::Storage storage{};
    storage[0] = static_cast<std::uint8_t>(thread);
    storage[1] = static_cast<std::uint8_t>(index);
    return UUID(storage);
}

/// Threads × changes through one vault, three changes an account: each thread adds its own
/// secrets, sets their recovery codes and deletes three in four of them again.
inline void hammer(SecretVault& vault, int threads, int changesPerThread) {
    auto shared = std::shared_ptr<SecretVault>(&vault, [](SecretVault*) {});
    std::vector<std::thread> workers;
    for (int thread = 0; thread < threads; ++thread) {
        workers.emplace_back([=] {
            VaultSecretStore secrets(shared);
            VaultRecoveryCodeStore recovery(shared);
            for (int index = 0; index < changesPerThread / 3; ++index) {
                const UUID id = hammeredID(thread, index);
                ASSERT_TRUE(secrets.add(Bytes{std::uint8_t(thread), std::uint8_t(index)}, id));
                ASSERT_TRUE(recovery.setCodes({std::to_string(index)}, id));
                if (index % 4 != 0) {
                    ASSERT_TRUE(secrets.remove(id));
                }
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
}

/// The final document holds every survivor with its codes, and nothing of the others.
inline void expectHammered(SecretVault& vault, int threads, int changesPerThread) {
    const auto contents = vault.read();
    ASSERT_TRUE(contents.has_value());
    std::size_t survivors = 0;
    for (int thread = 0; thread < threads; ++thread) {
        for (int index = 0; index < changesPerThread / 3; ++index) {
            const std::string key = hammeredID(thread, index).uuidString();
            const bool kept = index % 4 == 0;
            survivors += kept ? 1 : 0;
            EXPECT_EQ(contents->secrets.contains(key), kept) << key;
            EXPECT_EQ(contents->recovery->contains(key), kept) << key;
            if (kept) {
                EXPECT_EQ(contents->secrets.at(key),
                          (Bytes{std::uint8_t(thread), std::uint8_t(index)}));
                EXPECT_EQ(contents->recovery->at(key),
                          std::vector<std::string>{std::to_string(index)});
            }
        }
    }
    EXPECT_EQ(contents->secrets.size(), survivors);
}

} // namespace zemlar::testing
