// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"

#include <QCoroTask>
#include <ZemlarKit/ClipboardDelivery.hpp>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace zemlar;
using namespace zemlar::testing;
using namespace std::chrono_literals;

namespace {

/// A clipboard in memory that counts how it is used.
class RecordingPasteboard final : public PasteboardClient {
public:
    std::int64_t changeCount() const override { return count; }
    void writeConcealed(const std::string& string) override { copyFromElsewhere(string); }
    void clear() override {
        contents.reset();
        ++count;
        ++clears;
    }
    void copyFromElsewhere(const std::string& string) {
        contents = string;
        ++count;
    }

    std::optional<std::string> contents;
    std::int64_t count = 0;
    int clears = 0;
};

class ClipboardDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override { ensureCoreApplication(); }
    void deliver(ClipboardDelivery& delivery, const std::string& code) {
        ASSERT_TRUE(QCoro::waitFor(delivery.deliver(code)).has_value());
    }

    std::shared_ptr<RecordingPasteboard> pasteboard = std::make_shared<RecordingPasteboard>();
};

} // namespace

TEST_F(ClipboardDeliveryTest, ClearsAfterTheDelayOnlyWhatItWrote) {
    ClipboardDelivery delivery(pasteboard, 60ms);
    deliver(delivery, "012345");
    EXPECT_EQ(pasteboard->contents, "012345");
    EXPECT_TRUE(delivery.clearPending());
    runEventLoop(10ms);
    EXPECT_EQ(pasteboard->contents, "012345");
    runEventLoop(100ms);
    EXPECT_FALSE(pasteboard->contents.has_value());

    deliver(delivery, "012345");
    pasteboard->copyFromElsewhere("a note");
    runEventLoop(100ms);
    EXPECT_EQ(pasteboard->contents, "a note") << "what the user copied meanwhile stays";
    EXPECT_EQ(pasteboard->clears, 1);
    EXPECT_FALSE(delivery.clearPending());
}

TEST_F(ClipboardDeliveryTest, APendingClearingRunsAtOnceWhenTheDeliveryGoesAway) {
    for (const bool copiedMeanwhile : {false, true}) {
        {
            ClipboardDelivery delivery(pasteboard, 1h);
            deliver(delivery, "012345");
            if (copiedMeanwhile) {
                pasteboard->copyFromElsewhere("a note");
            }
        }
        EXPECT_EQ(pasteboard->contents,
                  copiedMeanwhile ? std::optional<std::string>("a note") : std::nullopt);
        EXPECT_EQ(pasteboard->clears, 1);
    }
}
