// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"

#include <QCoroTask>
#include <ZemlarKit/DeliveryError.hpp>
#include <ZemlarKit/TypingDelivery.hpp>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unordered_set>

using namespace zemlar;

TEST(DeliveryError, DescribesEachCaseAndHashesAsAValue) {
    EXPECT_EQ(DeliveryError::accessibilityDenied().describe(), "accessibilityDenied");
    EXPECT_EQ(DeliveryError::invalidCode().describe(), "invalidCode");
    EXPECT_EQ(DeliveryError::eventFailed().describe(), "eventFailed");
    EXPECT_EQ(DeliveryError::invalidCode(), DeliveryError::invalidCode());
    EXPECT_NE(DeliveryError::invalidCode(), DeliveryError::eventFailed());
    const std::unordered_set<DeliveryError> errors{
        DeliveryError::accessibilityDenied(), DeliveryError::invalidCode(),
        DeliveryError::eventFailed(), DeliveryError::invalidCode()};
    EXPECT_EQ(errors.size(), 3u);
}

namespace {

/// Points DISPLAY somewhere for the lifetime of the object.
class DisplayVariable {
public:
    explicit DisplayVariable(const char* value) {
        if (const char* current = std::getenv("DISPLAY")) {
            saved_ = current;
        }
        if (value == nullptr) {
            unsetenv("DISPLAY");
        } else {
            setenv("DISPLAY", value, 1);
        }
    }
    ~DisplayVariable() {
        if (saved_) {
            setenv("DISPLAY", saved_->c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }

private:
    std::optional<std::string> saved_;
};

} // namespace

TEST(TypingDelivery, IsDeniedWithoutAnXDisplay) {
    zemlar::testing::ensureCoreApplication();
    for (const char* display : {static_cast<const char*>(nullptr), ":9917"}) {
        DisplayVariable variable(display);
        TypingDelivery delivery;
        EXPECT_EQ(delivery.prepare(), fail(DeliveryError::accessibilityDenied()));
        // Trust is checked before the code, so even an invalid code is refused for it.
        EXPECT_EQ(QCoro::waitFor(delivery.deliver("012345")),
                  fail(DeliveryError::accessibilityDenied()));
        EXPECT_EQ(QCoro::waitFor(delivery.deliver("12 34")),
                  fail(DeliveryError::accessibilityDenied()));
    }
}

TEST(TypingDelivery, DefaultsToTenMillisecondsWithoutReturn) {
    const TypingDelivery delivery;
    EXPECT_EQ(delivery.keyInterval, std::chrono::milliseconds(10));
    EXPECT_FALSE(delivery.pressReturn);
    EXPECT_EQ(delivery, TypingDelivery(std::chrono::milliseconds(10), false));
    EXPECT_NE(delivery, TypingDelivery(std::chrono::milliseconds(10), true));
}
