// SPDX-License-Identifier: GPL-3.0-or-later
// The five writers of the account list and the vault at once: the phone's inbox, an import, the
// accounts screen deleting and editing, a restore and the use count after each delivery.
#pragma once

#include "BackupTesting.hpp"

#include <algorithm>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>

namespace zemlar::testing {

/// What the writers were told, and so what the files must show afterwards.
class StormLedger {
public:
    void added(const UUID& id) {
        const std::lock_guard lock(mutex_);
        added_.insert(id);
        live_.push_back(id);
    }
    void deleted(const UUID& id) {
        const std::lock_guard lock(mutex_);
        deleted_.insert(id);
        std::erase(live_, id);
    }
    /// One of the accounts reported added and not deleted, taking turns.
    std::optional<UUID> pick(int turn) {
        const std::lock_guard lock(mutex_);
        return live_.empty() ? std::nullopt
                             : std::optional(live_[static_cast<std::size_t>(turn) % live_.size()]);
    }

    /// Every account reported added is listed with its secret unless deleted, no deleted
    /// account is listed, and the vault holds no secret without an account.
    void expectKeptBy(Computer& computer) {
        const Accounts list = computer.accounts.load().value();
        const SecretMap secrets = computer.secrets.readAll().value();
        std::set<UUID> listed;
        for (const auto& account : list) {
            listed.insert(account.id);
        }
        EXPECT_EQ(listed.size(), list.size()) << "an account is listed twice";
        for (const auto& id : added_) {
            const bool kept = !deleted_.contains(id);
            EXPECT_EQ(listed.contains(id), kept) << id.uuidString();
            EXPECT_TRUE(!kept || secrets.contains(id)) << "no secret for " << id.uuidString();
        }
        for (const auto& [id, secret] : secrets) {
            EXPECT_TRUE(listed.contains(id)) << "secret without account: " << id.uuidString();
        }
        EXPECT_FALSE(deleted_.empty());
    }

private:
    std::mutex mutex_;
    std::set<UUID> added_;
    std::set<UUID> deleted_;
    std::vector<UUID> live_;
};

/// An identifier of its own for each writer, round and account.
inline UUID stormID(int writer, int round, int index) {
    UUID::Storage storage{};
    storage[0] = static_cast<std::uint8_t>(writer);
    storage[1] = static_cast<std::uint8_t>(round);
    storage[2] = static_cast<std::uint8_t>(index);
    storage[6] = 0x40;
    return UUID(storage);
}

inline BackupPayload stormPayload(int writer, int round) {
    std::vector<BackupAccount> accounts;
    for (int index = 0; index < 2; ++index) {
        const UUID id = stormID(writer, round, index);
        accounts.push_back(backupAccount(0, "Storm", id.uuidString(), bytesOf(id.uuidString())));
        accounts.back().id = id;
    }
    return payloadOf(accounts);
}

/// Runs the five writers side by side, each through its own flow, and records what each
/// reported in the ledger: three add two accounts a round for the given rounds; meanwhile the
/// other two delete or edit, and record uses of, the accounts reported so far.
inline void storm(Computer& computer, int rounds, StormLedger& ledger) {
    ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, computer.keys));
    MemoryTakenStore taken;
    auto inboxRound = [&](int round) {
        const BackupPayload payload = stormPayload(1, round);
        const auto report =
            InboxImportFlow::run(sealedFile(payload), computer.accounts, computer.groups,
                                 computer.secrets, computer.keys, taken);
        ASSERT_TRUE(report.has_value()) << report.error().describe();
        ASSERT_EQ(report->added.size(), 2U);
        for (const auto& account : payload.accounts) {
            ledger.added(account.id);
        }
    };
    auto importRound = [&](int round) {
        ImportBatch batch;
        for (const auto& account : stormPayload(2, round).accounts) {
            batch.entries.emplace_back(account.issuer, account.name, account.secret,
                                       account.parameters);
        }
        int index = 0;
        const ImportReport report = ImportFlow::run(
            batch, Date(1'700'000'000), [&] { return stormID(2, round, index++); },
            computer.accounts, computer.secrets);
        ASSERT_EQ(report.importedIDs.size(), 2U);
        for (const auto& id : report.importedIDs) {
            ledger.added(id);
        }
    };
    auto restoreRound = [&](int round) {
        const BackupPayload payload = stormPayload(3, round);
        const auto report = BackupFlows::restore(
            sealedFile(payload), testPassphrase, computer.accounts, computer.groups,
            computer.secrets, computer.keys, computer.recovery);
        ASSERT_TRUE(report.has_value()) << report.error().describe();
        ASSERT_EQ(report->imported, 2);
        for (const auto& account : payload.accounts) {
            ledger.added(account.id);
        }
    };
    std::atomic<int> adding = 3;
    std::vector<std::thread> writers;
    const std::function<void(int)> adders[] = {inboxRound, importRound, restoreRound};
    for (const auto& add : adders) {
        writers.emplace_back([&adding, rounds, add] {
            for (int round = 0; round < rounds && !::testing::Test::HasFatalFailure(); ++round) {
                add(round);
            }
            --adding;
        });
    }
    // Deletes and edits in turn; records uses.
    for (const bool deletes : {true, false}) {
        writers.emplace_back([&, deletes] {
            for (int turn = 0; adding > 0; ++turn) {
                const auto id = ledger.pick(turn);
                if (!id) {
                    std::this_thread::yield();
                } else if (!deletes) {
                    (void)AccountFlows::recordUse(*id, Date(1'800'000'000 + turn),
                                                  computer.accounts);
                } else if (turn % 2 == 0) {
                    ASSERT_TRUE(AccountFlows::remove(*id, computer.accounts, computer.secrets));
                    ledger.deleted(*id);
                } else {
                    (void)AccountFlows::edit(*id, "Edited", id->uuidString(), {}, std::nullopt,
                                             std::nullopt, computer.accounts);
                }
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
}

} // namespace zemlar::testing
