// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupTesting.hpp"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zemlar::testing {
namespace {

// One writer adds accounts one by one, another imports them; meanwhile a third deletes the
// accounts reported so far or records a use of them. Afterwards every account reported added is
// listed with its secret unless deleted, and no deleted one came back.
TEST(StoreGate, WritersAtOnceLoseNoAccountAndBringNoDeletedOneBack) {
    Computer computer;
    std::mutex mutex;
    std::set<UUID> added, deleted;
    std::vector<UUID> live;
    std::atomic<int> adding = 2;
    const auto adder = [&](std::function<UUID(std::uint8_t)> addOne) {
        return std::thread([&, addOne] {
            for (std::uint8_t round = 1; round <= 8 && !::testing::Test::HasFatalFailure();
                 ++round) {
                const UUID id = addOne(round);
                const std::lock_guard lock(mutex);
                added.insert(id);
                live.push_back(id);
            }
            --adding;
        });
    };
    std::thread byHand = adder([&](std::uint8_t round) {
        return computer.add("Added", std::to_string(round), Bytes{1}, round).id;
    });
    std::thread byImport = adder([&](std::uint8_t round) {
        const UUID id = uuidNumber(100 + round);
        ImportBatch batch;
        batch.entries.emplace_back("Imported", std::to_string(round), Bytes{2},
                                   OTPParameters::standard());
        const ImportReport report = ImportFlow::run(
            batch, Date(1'700'000'000), [&] { return id; }, computer.accounts, computer.secrets);
        EXPECT_EQ(report.importedIDs, std::vector<UUID>{id});
        return id;
    });
    std::thread changer([&] {
        for (int turn = 0; adding > 0; ++turn) {
            std::unique_lock lock(mutex);
            if (live.empty()) {
                lock.unlock();
                std::this_thread::yield();
                continue;
            }
            const UUID id = live[static_cast<std::size_t>(turn) % live.size()];
            lock.unlock();
            if (turn % 2 == 0) {
                ASSERT_TRUE(AccountFlows::remove(id, computer.accounts, computer.secrets));
                lock.lock();
                deleted.insert(id);
                std::erase(live, id);
            } else {
                (void)AccountFlows::recordUse(id, Date(1'800'000'000 + turn), computer.accounts);
            }
        }
    });
    byHand.join();
    byImport.join();
    changer.join();

    const Accounts list = computer.accounts.load().value();
    const SecretMap secrets = computer.secrets.readAll().value();
    std::set<UUID> listed;
    for (const auto& account : list) {
        listed.insert(account.id);
    }
    EXPECT_EQ(listed.size(), list.size()) << "an account is listed twice";
    for (const auto& id : added) {
        const bool kept = !deleted.contains(id);
        EXPECT_EQ(listed.contains(id), kept) << id.uuidString();
        EXPECT_TRUE(!kept || secrets.contains(id)) << "no secret for " << id.uuidString();
    }
    for (const auto& [id, secret] : secrets) {
        EXPECT_TRUE(listed.contains(id)) << "secret without account: " << id.uuidString();
    }
    EXPECT_FALSE(deleted.empty());
}

// Another process opens the lock file on its own; an flock there is what it would meet.
TEST(StoreGate, WhileHeldTheLockFileKeepsOtherProcessesOut) {
    const ScratchFolder scratch;
    const std::filesystem::path lockFile = scratch.path / "data" / "Zemlar" / ".lock";
    StoreGate::lockAcrossProcesses(lockFile);
    int other = -1;
    {
        const StoreGate::Hold hold;
        const StoreGate::Hold nested;
        other = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(other, 0);
        EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    }
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    struct stat folder {};
    struct stat file {};
    ASSERT_EQ(::stat(lockFile.parent_path().c_str(), &folder), 0);
    ASSERT_EQ(::stat(lockFile.c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    StoreGate::lockAcrossProcesses({});
}

} // namespace
} // namespace zemlar::testing
