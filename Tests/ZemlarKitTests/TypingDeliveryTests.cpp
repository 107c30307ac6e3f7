// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"

#include <QCoroTask>
#include <TestSupport/ScopedEnvironment.hpp>
#include <ZemlarKit/DeliveryError.hpp>
#include <ZemlarKit/TypingDelivery.hpp>
#include <gtest/gtest.h>

using namespace zemlar;

TEST(TypingDelivery, IsDeniedWithoutAnXDisplayEvenForAnInvalidCode) {
    zemlar::testing::ensureCoreApplication();
    for (const char* display : {static_cast<const char*>(nullptr), ":9917"}) {
        const zemlar::testing::ScopedEnvironment variable("DISPLAY", display);
        TypingDelivery delivery;
        EXPECT_EQ(delivery.prepare(), fail(DeliveryError::accessibilityDenied()));
        for (const char* code : {"012345", "12 34"}) {
            EXPECT_EQ(QCoro::waitFor(delivery.deliver(code)),
                      fail(DeliveryError::accessibilityDenied()));
        }
    }
}

TEST(TypingDelivery, IsDeniedInAWaylandSessionWithoutAVirtualKeyboard) {
    zemlar::testing::ensureCoreApplication();
    const zemlar::testing::ScopedEnvironment platform("QT_QPA_PLATFORM", "wayland");
    const zemlar::testing::ScopedEnvironment display("WAYLAND_DISPLAY", "/nonexistent/wayland-9");
    TypingDelivery delivery;
    EXPECT_EQ(delivery.prepare(), fail(DeliveryError::accessibilityDenied()));
    EXPECT_EQ(QCoro::waitFor(delivery.deliver("012345")),
              fail(DeliveryError::accessibilityDenied()));
}
