// SPDX-License-Identifier: GPL-3.0-or-later
// Keyring tests run only inside scripts/with-keyring, never against the user's own keyring.
#pragma once

#include "../ZemlarKitTests/StoreDoubles.hpp"

#include <ZemlarKit/ZemlarKit.hpp>
#include <cstdlib>
#include <gtest/gtest.h>

namespace zemlar::testing {

/// Skips the test unless it runs against the throwaway keyring; gives each test its own
/// service names.
struct KeyringTest : ::testing::Test {
    void SetUp() override {
        const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
        if (marker == nullptr || std::string_view(marker) != "1") {
            GTEST_SKIP() << "needs the private Secret Service of scripts/with-keyring";
        }
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        service = std::string("app.zemlar.Zemlar.test.") + info->test_suite_name() + "." +
                  info->name() + "." + RandomBytes::uuid().uuidString();
    }

    std::string service;
};

} // namespace zemlar::testing
