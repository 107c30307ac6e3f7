// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11TestSupport.hpp"

#include <QClipboard>
#include <ZemlarKit/ClipboardDelivery.hpp>
#include <ZemlarKit/SystemPasteboard.hpp>
#include <memory>

using namespace zemlar;
using namespace zemlar::testing;
using namespace std::chrono_literals;

namespace {

/// What another process reads from a selection under the target.
ToolRun pasted(const std::string& target = "UTF8_STRING",
               const std::string& selection = "clipboard") {
    return shell("xclip -o -selection " + selection + " -t " + target);
}

/// Another process copying text; xclip stays in the background to serve it. Then lets the
/// application see the clipboard events that are due.
void copyFromAnotherProcess(const std::string& text, const std::string& selection = "clipboard") {
    ASSERT_EQ(shell("printf '" + text + "' | xclip -selection " + selection + " -i >/dev/null 2>&1")
                  .exitCode,
              0);
    runEventLoop(150ms);
}

class ClipboardX11Test : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (!IsSkipped()) {
            copyFromAnotherProcess("before");
        }
    }
};

} // namespace

TEST_F(ClipboardX11Test, WritesTheCodeWithThePasswordManagerHintAndLeavesThePrimarySelection) {
    copyFromAnotherProcess("selected words", "primary");
    SystemPasteboard pasteboard;
    pasteboard.writeConcealed("012345");
    EXPECT_EQ(pasted().output, "012345");
    EXPECT_EQ(pasted("text/plain").output, "012345");
    EXPECT_EQ(pasted("x-kde-passwordManagerHint").output, "secret");
    const std::string targets = pasted("TARGETS").output;
    for (const char* target : {"x-kde-passwordManagerHint", "org.nspasteboard.ConcealedType",
                               "org.nspasteboard.TransientType"}) {
        EXPECT_NE(targets.find(target), std::string::npos) << targets;
    }
    EXPECT_EQ(pasted("UTF8_STRING", "primary").output, "selected words");
}

TEST_F(ClipboardX11Test, CountsOurChangesAndOtherProcessesChanges) {
    SystemPasteboard pasteboard;
    const std::int64_t start = pasteboard.changeCount();
    pasteboard.writeConcealed("012345");
    const std::int64_t afterWrite = pasteboard.changeCount();
    EXPECT_GT(afterWrite, start);
    runEventLoop(150ms);
    EXPECT_EQ(pasteboard.changeCount(), afterWrite) << "our own write was counted twice";
    copyFromAnotherProcess("a note");
    EXPECT_GT(pasteboard.changeCount(), afterWrite);
}

TEST_F(ClipboardX11Test, ClearsTheCodeAfterTheDelay) {
    ClipboardDelivery delivery(std::make_shared<SystemPasteboard>(), 300ms);
    ASSERT_TRUE(QCoro::waitFor(delivery.deliver("654321")).has_value());
    EXPECT_EQ(pasted().output, "654321");
    runEventLoop(450ms);
    const ToolRun after = pasted();
    EXPECT_EQ(after.output, "");
    EXPECT_NE(after.exitCode, 0) << "the clipboard still has an owner";
}
