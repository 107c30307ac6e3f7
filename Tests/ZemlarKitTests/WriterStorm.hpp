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
        if (live_.empty()) {
            return std::nullopt;
        }
        return live_[static_cast<std::size_t>(turn) % live_.size()];
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
            if (!deleted_.contains(id)) {
                EXPECT_TRUE(listed.contains(id)) << "lost " << id.uuidString();
                EXPECT_TRUE(secrets.contains(id)) << "no secret for " << id.uuidString();
            }
        }
        for (const auto& id : deleted_) {
            EXPECT_FALSE(listed.contains(id)) << "deleted but back: " << id.uuidString();
        }
        for (const auto& [id, secret] : secrets) {
            EXPECT_TRUE(listed.contains(id)) << "secret without account: " << id.uuidString();
        }
        EXPECT_FALSE(added_.empty());
        EXPECT_FALSE(deleted_.empty());
    }

private:
    std::mutex mutex_;
    std::set<UUID> added_;
    std::set<UUID> deleted_;
    std::vector<UUID> live_;
};

/// An identifier of its own for each writer and round.
inline UUID stormID(int writer, int round, int index) {
    UUID::Storage storage{};
    storage[0] = static_cast<std::uint8_t>(writer);
    storage[1] = static_cast<std::uint8_t>(round);
    storage[2] = static_cast<std::uint8_t>(index);
    storage[6] = 0x40;
    return UUID(storage);
}

inline BackupAccount stormAccount(int writer, int round, int index) {
    const UUID id = stormID(writer, round, index);
    BackupAccount account = backupAccount(0, "Storm", id.uuidString(), bytesOf(id.uuidString()));
    account.id = id;
    return account;
}

/// In memory: the identifiers the phone's accounts were taken under.
struct StormTakenStore : InboxTakenStore {
    std::set<UUID> taken() override { return ids; }
    void set(const std::set<UUID>& newIDs) override { ids = newIDs; }
    std::set<UUID> ids;
};

/// Runs the five writers side by side, each through its own flow, and records what each
/// reported in the ledger: three add two accounts a round for the given rounds; meanwhile the
/// other two delete or edit, and record uses of, the accounts reported so far.
inline void storm(Computer& computer, int rounds, StormLedger& ledger) {
    ASSERT_TRUE(BackupFlows::setUp(testPassphrase, testSalt(), testIterations, computer.keys));
    StormTakenStore taken;
    auto twoAccounts = [](int writer, int round) {
        return payloadOf({stormAccount(writer, round, 0), stormAccount(writer, round, 1)});
    };
    auto inboxRound = [&](int round) {
        const BackupPayload payload = twoAccounts(1, round);
        const auto report =
            InboxImportFlow::run(sealedFile(payload), computer.accounts, computer.groups,
                                 computer.secrets, computer.keys, taken);
        ASSERT_TRUE(report.has_value()) << report.error().describe();
        ASSERT_EQ(report->added.size(), payload.accounts.size());
        for (const auto& account : payload.accounts) {
            ledger.added(account.id);
        }
    };
    auto importRound = [&](int round) {
        ImportBatch batch;
        for (const auto& account : twoAccounts(2, round).accounts) {
            batch.entries.emplace_back(account.issuer, account.name, account.secret,
                                       account.parameters);
        }
        int index = 0;
        const ImportReport report = ImportFlow::run(
            batch, Date(1'700'000'000), [&] { return stormID(2, round, index++); },
            computer.accounts, computer.secrets);
        ASSERT_EQ(report.importedIDs.size(), batch.entries.size());
        for (const auto& id : report.importedIDs) {
            ledger.added(id);
        }
    };
    auto restoreRound = [&](int round) {
        const BackupPayload payload = twoAccounts(3, round);
        const auto report = BackupFlows::restore(
            sealedFile(payload), testPassphrase, computer.accounts, computer.groups,
            computer.secrets, computer.keys, computer.recovery);
        ASSERT_TRUE(report.has_value()) << report.error().describe();
        ASSERT_EQ(report->imported, std::ssize(payload.accounts));
        for (const auto& account : payload.accounts) {
            ledger.added(account.id);
        }
    };
    const std::vector<std::function<void(int)>> adders{inboxRound, importRound, restoreRound};
    std::atomic<std::size_t> adding = adders.size();
    std::vector<std::thread> writers;
    for (const auto& add : adders) {
        writers.emplace_back([&adding, &rounds, add] {
            for (int round = 0; round < rounds && !::testing::Test::HasFatalFailure(); ++round) {
                add(round);
            }
            --adding;
        });
    }
    writers.emplace_back([&] {
        for (int turn = 0; adding > 0; ++turn) {
            const auto id = ledger.pick(turn);
            if (!id) {
                std::this_thread::yield();
            } else if (turn % 2 == 0) {
                ASSERT_TRUE(AccountFlows::remove(*id, computer.accounts, computer.secrets));
                ledger.deleted(*id);
            } else {
                (void)AccountFlows::edit(*id, "Edited", id->uuidString(), {}, std::nullopt,
                                         std::nullopt, computer.accounts);
            }
        }
    });
    writers.emplace_back([&] {
        for (int turn = 0; adding > 0; ++turn) {
            if (const auto id = ledger.pick(turn)) {
                (void)AccountFlows::recordUse(*id, Date(1'800'000'000 + turn), computer.accounts);
            } else {
                std::this_thread::yield();
            }
        }
    });
    for (auto& writer : writers) {
        writer.join();
    }
}

} // namespace zemlar::testing
