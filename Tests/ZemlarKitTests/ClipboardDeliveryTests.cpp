// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTestSupport.hpp"

#include <QCoroTask>
#include <ZemlarKit/ClipboardDelivery.hpp>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace zemlar;
using namespace std::chrono_literals;

namespace {

/// A clipboard in memory that counts how it is used.
class RecordingPasteboard final : public PasteboardClient {
public:
    std::int64_t changeCount() const override {
        ++countReads;
        return count;
    }
    void writeConcealed(const std::string& string) override {
        contents = string;
        ++count;
        ++writes;
    }
    void clear() override {
        contents.reset();
        ++count;
        ++clears;
    }

    /// Another application copying something.
    void copyFromElsewhere(const std::string& string) {
        contents = string;
        ++count;
    }

    std::optional<std::string> contents;
    std::int64_t count = 0;
    mutable int countReads = 0;
    int writes = 0;
    int clears = 0;
};

class ClipboardDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override { zemlar::testing::ensureCoreApplication(); }

    Result<void, DeliveryError> deliver(ClipboardDelivery& delivery, const std::string& code) {
        return QCoro::waitFor(delivery.deliver(code));
    }

    std::shared_ptr<RecordingPasteboard> pasteboard = std::make_shared<RecordingPasteboard>();
};

} // namespace

TEST_F(ClipboardDeliveryTest, WritesOnceReadsTheCountOnceAndReturnsAtOnce) {
    ClipboardDelivery delivery(pasteboard, 30s);
    EXPECT_TRUE(delivery.prepare().has_value()) << "the clipboard needs no permission";
    EXPECT_TRUE(deliver(delivery, "012345").has_value());
    EXPECT_EQ(pasteboard->contents, "012345");
    EXPECT_EQ(pasteboard->writes, 1);
    EXPECT_EQ(pasteboard->countReads, 1);
    EXPECT_EQ(pasteboard->clears, 0);
    EXPECT_TRUE(delivery.clearPending());
}

TEST_F(ClipboardDeliveryTest, ClearsAfterTheDelayWhenNothingElseWasCopied) {
    ClipboardDelivery delivery(pasteboard, 40ms);
    ASSERT_TRUE(deliver(delivery, "012345").has_value());
    zemlar::testing::runEventLoop(10ms);
    EXPECT_EQ(pasteboard->contents, "012345");
    zemlar::testing::runEventLoop(80ms);
    EXPECT_FALSE(pasteboard->contents.has_value());
    EXPECT_EQ(pasteboard->clears, 1);
    EXPECT_EQ(pasteboard->countReads, 2);
    EXPECT_FALSE(delivery.clearPending());
}

TEST_F(ClipboardDeliveryTest, LeavesWhatTheUserCopiedMeanwhile) {
    ClipboardDelivery delivery(pasteboard, 40ms);
    ASSERT_TRUE(deliver(delivery, "012345").has_value());
    pasteboard->copyFromElsewhere("a note");
    zemlar::testing::runEventLoop(100ms);
    EXPECT_EQ(pasteboard->contents, "a note");
    EXPECT_EQ(pasteboard->clears, 0);
    EXPECT_FALSE(delivery.clearPending());
}

TEST_F(ClipboardDeliveryTest, EachCopyRestartsTheClock) {
    ClipboardDelivery delivery(pasteboard, 120ms);
    ASSERT_TRUE(deliver(delivery, "111111").has_value());
    zemlar::testing::runEventLoop(80ms);
    ASSERT_TRUE(deliver(delivery, "222222").has_value());
    // Past the first copy's deadline, before the second's: still there.
    zemlar::testing::runEventLoop(80ms);
    EXPECT_EQ(pasteboard->contents, "222222");
    EXPECT_EQ(pasteboard->clears, 0);
    zemlar::testing::runEventLoop(120ms);
    EXPECT_FALSE(pasteboard->contents.has_value());
    EXPECT_EQ(pasteboard->clears, 1);
}

TEST_F(ClipboardDeliveryTest, DroppingTheDeliveryDropsThePendingClearing) {
    {
        ClipboardDelivery delivery(pasteboard, 20ms);
        ASSERT_TRUE(deliver(delivery, "012345").has_value());
    }
    zemlar::testing::runEventLoop(60ms);
    EXPECT_EQ(pasteboard->contents, "012345");
    EXPECT_EQ(pasteboard->clears, 0);
}
