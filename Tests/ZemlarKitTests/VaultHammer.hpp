// SPDX-License-Identifier: GPL-3.0-or-later
// Many threads changing one vault at once, and the document they must leave behind.
#pragma once

#include <ZemlarKit/ZemlarKit.hpp>
#include <gtest/gtest.h>
#include <thread>

namespace zemlar::testing {

/// Threads × changes through one vault: each thread adds its own secrets, sets their recovery
/// codes and deletes three in four of them again; the final document must hold every survivor
/// with its codes.
inline void hammer(SecretVault& vault, int threads, int changesPerThread) {
    auto shared = std::shared_ptr<SecretVault>(&vault, [](SecretVault*) {});
    std::vector<std::thread> workers;
    for (int thread = 0; thread < threads; ++thread) {
        workers.emplace_back([=] {
            VaultSecretStore secrets(shared);
            VaultRecoveryCodeStore recovery(shared);
            for (int change = 0; change < changesPerThread; ++change) {
                UUID::Storage storage{};
                storage[0] = static_cast<std::uint8_t>(thread);
                storage[1] = static_cast<std::uint8_t>(change / 3);
                const UUID id(storage);
                switch (change % 3) {
                case 0:
                    ASSERT_TRUE(secrets.add(Bytes{std::uint8_t(thread), std::uint8_t(change)}, id));
                    break;
                case 1:
                    ASSERT_TRUE(recovery.setCodes({std::to_string(change)}, id));
                    break;
                case 2:
                    if ((change / 3) % 4 != 0) {
                        ASSERT_TRUE(secrets.remove(id));
                    }
                    break;
                }
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
}

inline void expectHammered(SecretVault& vault, int threads, int changesPerThread) {
    const auto contents = vault.read();
    ASSERT_TRUE(contents.has_value());
    std::size_t expectedSecrets = 0;
    for (int thread = 0; thread < threads; ++thread) {
        for (int change = 0; change < changesPerThread; change += 3) {
            UUID::Storage storage{};
            storage[0] = static_cast<std::uint8_t>(thread);
            storage[1] = static_cast<std::uint8_t>(change / 3);
            const std::string key = UUID(storage).uuidString();
            const bool deleted = (change / 3) % 4 != 0 && change + 2 < changesPerThread;
            EXPECT_EQ(contents->secrets.contains(key), !deleted) << key;
            if (deleted && contents->recovery) {
                EXPECT_FALSE(contents->recovery->contains(key)) << key;
            }
            if (!deleted) {
                ++expectedSecrets;
                EXPECT_EQ(contents->secrets.at(key),
                          (Bytes{std::uint8_t(thread), std::uint8_t(change)}));
                if (change + 1 < changesPerThread) {
                    EXPECT_EQ(contents->recovery->at(key),
                              std::vector<std::string>{std::to_string(change + 1)});
                }
            }
        }
    }
    EXPECT_EQ(contents->secrets.size(), expectedSecrets);
}

} // namespace zemlar::testing
