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

using ClipboardX11Test = X11Test;

} // namespace

TEST_F(ClipboardX11Test, WritesTheCodeConcealedAndClearsItAfterTheDelayUnlessSomethingElseCame) {
    copyFromAnotherProcess("selected words", "primary");
    copyFromAnotherProcess("before");
    ClipboardDelivery delivery(std::make_shared<SystemPasteboard>(), 1000ms);
    ASSERT_TRUE(QCoro::waitFor(delivery.deliver("654321")).has_value());
    EXPECT_EQ(pasted().output, "654321");
    EXPECT_EQ(pasted("x-kde-passwordManagerHint").output, "secret");
    EXPECT_EQ(pasted("UTF8_STRING", "primary").output, "selected words");
    runEventLoop(1200ms);
    EXPECT_NE(pasted().exitCode, 0) << "the clipboard is not cleared";

    ASSERT_TRUE(QCoro::waitFor(delivery.deliver("654321")).has_value());
    copyFromAnotherProcess("a note");
    runEventLoop(1200ms);
    EXPECT_EQ(pasted().output, "a note") << "what another program copied meanwhile stays";
}
