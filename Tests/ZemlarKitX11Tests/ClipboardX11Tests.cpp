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

/// What another process reads from the clipboard under the target.
ToolRun readClipboard(const char* target = "UTF8_STRING") {
    return runTool(QStringLiteral("xclip"),
                   {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                    QStringLiteral("-t"), QString::fromLatin1(target)});
}

/// Another process copying text; xclip stays in the background to serve it.
void copyFromAnotherProcess(const std::string& text) {
    ASSERT_EQ(
        shell("printf '" + text + "' | xclip -selection clipboard -i >/dev/null 2>&1").exitCode, 0);
}

/// Lets the application see the clipboard events that are due.
void settle() {
    runEventLoop(150ms);
}

class ClipboardX11Test : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (!IsSkipped()) {
            copyFromAnotherProcess("before");
            settle();
        }
    }
};

} // namespace

TEST_F(ClipboardX11Test, WritesTheCodeWithThePasswordManagerHintAndLeavesThePrimarySelection) {
    ASSERT_EQ(
        shell("printf 'selected words' | xclip -selection primary -i >/dev/null 2>&1").exitCode, 0);
    SystemPasteboard pasteboard;
    pasteboard.writeConcealed("012345");
    EXPECT_EQ(readClipboard().output, "012345");
    EXPECT_EQ(readClipboard("text/plain").output, "012345");
    EXPECT_EQ(readClipboard("x-kde-passwordManagerHint").output, "secret");
    const std::string targets = readClipboard("TARGETS").output;
    EXPECT_NE(targets.find("x-kde-passwordManagerHint"), std::string::npos) << targets;
    EXPECT_NE(targets.find("org.nspasteboard.ConcealedType"), std::string::npos) << targets;
    EXPECT_NE(targets.find("org.nspasteboard.TransientType"), std::string::npos) << targets;
    const ToolRun primary =
        runTool(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("primary")});
    EXPECT_EQ(primary.output, "selected words");
}

TEST_F(ClipboardX11Test, CountsOurChangesAndOtherProcessesChanges) {
    SystemPasteboard pasteboard;
    const std::int64_t start = pasteboard.changeCount();
    pasteboard.writeConcealed("012345");
    const std::int64_t afterWrite = pasteboard.changeCount();
    EXPECT_GT(afterWrite, start);
    settle();
    EXPECT_EQ(pasteboard.changeCount(), afterWrite) << "our own write was counted twice";
    copyFromAnotherProcess("a note");
    settle();
    EXPECT_GT(pasteboard.changeCount(), afterWrite);
}

TEST_F(ClipboardX11Test, ClearsTheCodeAfterTheDelay) {
    ClipboardDelivery delivery(std::make_shared<SystemPasteboard>(), 300ms);
    ASSERT_TRUE(QCoro::waitFor(delivery.deliver("654321")).has_value());
    EXPECT_EQ(readClipboard().output, "654321");
    runEventLoop(450ms);
    const ToolRun after = readClipboard();
    EXPECT_EQ(after.output, "");
    EXPECT_NE(after.exitCode, 0) << "the clipboard still has an owner";
}
