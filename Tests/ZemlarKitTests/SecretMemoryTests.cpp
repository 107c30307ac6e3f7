// SPDX-License-Identifier: GPL-3.0-or-later
#include <ZemlarKit/LockedSecrets.hpp>
#include <ZemlarKit/ProcessHardening.hpp>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>

using namespace zemlar;

namespace {

UUID id(std::uint8_t last) {
    UUID::Storage bytes{};
    bytes[15] = last;
    return UUID(bytes);
}

} // namespace

TEST(ProcessHardening, LeavesNoCoreDumpAndNoMemoryToReadFromOutside) {
    EXPECT_TRUE(ProcessHardening::apply());
    EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    rlimit core{};
    ASSERT_EQ(getrlimit(RLIMIT_CORE, &core), 0);
    EXPECT_EQ(core.rlim_cur, 0u);
    EXPECT_EQ(core.rlim_max, 0u);
}

TEST(LockedSecrets, HoldsCopiesWipesTheMapItCameFromAndForgetsOnClear) {
    SecretMap map{{id(1), Bytes{1, 2, 3}}, {id(2), Bytes(40, 9)}};
    LockedSecrets secrets(std::move(map));
    EXPECT_EQ(map[id(1)], Bytes(3, 0));
    ASSERT_TRUE(secrets.find(id(1)));
    EXPECT_EQ(Bytes(secrets.find(id(1))->begin(), secrets.find(id(1))->end()), (Bytes{1, 2, 3}));
    EXPECT_EQ(Bytes(secrets.find(id(2))->begin(), secrets.find(id(2))->end()), Bytes(40, 9));
    EXPECT_FALSE(secrets.find(id(3)));

    LockedSecrets moved = std::move(secrets);
    EXPECT_TRUE(secrets.empty());
    EXPECT_FALSE(moved.empty());
    moved.clear();
    EXPECT_TRUE(moved.empty());
    EXPECT_FALSE(moved.find(id(1)));
}
