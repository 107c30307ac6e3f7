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
    std::int64_t changeCount() const override {
        ++countReads;
        return count;
    }
    void writeConcealed(const std::string& string) override {
        copyFromElsewhere(string);
        ++writes;
    }
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
    mutable int countReads = 0;
    int writes = 0;
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

TEST_F(ClipboardDeliveryTest, WritesOnceAndClearsAfterTheDelayOnlyWhatItWrote) {
    ClipboardDelivery delivery(pasteboard, 60ms);
    EXPECT_TRUE(delivery.prepare().has_value()) << "the clipboard needs no permission";
    deliver(delivery, "012345");
    EXPECT_EQ(pasteboard->contents, "012345");
    EXPECT_EQ(pasteboard->writes, 1);
    EXPECT_TRUE(delivery.clearPending());
    runEventLoop(10ms);
    EXPECT_EQ(pasteboard->contents, "012345");
    runEventLoop(100ms);
    EXPECT_FALSE(pasteboard->contents.has_value());
    EXPECT_EQ(pasteboard->clears, 1);
    EXPECT_EQ(pasteboard->countReads, 2);
    EXPECT_FALSE(delivery.clearPending());

    deliver(delivery, "012345");
    pasteboard->copyFromElsewhere("a note");
    runEventLoop(100ms);
    EXPECT_EQ(pasteboard->contents, "a note") << "what the user copied meanwhile stays";
    EXPECT_EQ(pasteboard->clears, 1);
    EXPECT_FALSE(delivery.clearPending());
}

TEST_F(ClipboardDeliveryTest, EachCopyRestartsTheClock) {
    ClipboardDelivery delivery(pasteboard, 120ms);
    deliver(delivery, "111111");
    runEventLoop(80ms);
    deliver(delivery, "222222");
    runEventLoop(80ms); // past the first copy's deadline, before the second's
    EXPECT_EQ(pasteboard->contents, "222222");
    EXPECT_EQ(pasteboard->clears, 0);
    runEventLoop(120ms);
    EXPECT_FALSE(pasteboard->contents.has_value());
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
