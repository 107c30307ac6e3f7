// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/Recorder.hpp>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

// Last, for its Xlib macros.
#include "X11Testing.hpp"

using namespace zemlar::KeyboardShortcuts;
using namespace zemlar::KeyboardShortcuts::X11Testing;

namespace {

/// The real recorder, with the alert answered by the test.
class AnsweringRecorder : public Recorder {
public:
    using Recorder::Recorder;

    bool forceUse = false;
    std::vector<Shortcut> askedAbout;

protected:
    bool confirmUseOfTakenShortcut(const Shortcut& shortcut) override {
        askedAbout.push_back(shortcut);
        return forceUse;
    }
};

// A client that grabs every lock combination takes the keys before the recorder sees them; one
// that grabbed only some of them is found by the recorder's own trial grab.
TEST_F(HotKeys, TheRecorderPausesTheGrabMovesItAndFindsAnotherClientsGrab) {
    const Name name("togglePanel", optionCommandO); // stores the default in the emptied settings
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* recorder = new AnsweringRecorder(name, &window);
    layout->addWidget(other);
    layout->addWidget(recorder);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    other->setFocus();
    listen(name);
    const auto record = [&](const char* keys) {
        recorder->setFocus();
        QKeyEvent space(QEvent::Type(6 /* QEvent::KeyPress, a macro of Xlib's here */),
                        Qt::Key_Space, Qt::NoModifier);
        QApplication::sendEvent(recorder, &space);
        EXPECT_TRUE(waitFor([&] { return recorder->isRecording(); }));
        press(keys);
        return waitFor([&] { return !recorder->isRecording(); });
    };

    for (const char* keys : {"ctrl+alt+o", "Escape"}) {
        EXPECT_TRUE(record(keys)) << keys;
        EXPECT_TRUE(receivedNothing());
        EXPECT_EQ(getShortcut(name), optionCommandO);
        press("ctrl+alt+o");
        EXPECT_TRUE(receivedDownAndUp());
    }
    EXPECT_TRUE(record("ctrl+alt+k"));
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
    press("ctrl+alt+k");
    EXPECT_TRUE(receivedDownAndUp());

    OtherClient otherClient;
    ASSERT_TRUE(otherClient.grab(optionCommandP, KeyMapping::XMask::mod2));
    EXPECT_FALSE(record("ctrl+alt+p")) << "still recording after the alert was declined";
    EXPECT_EQ(recorder->askedAbout, std::vector<Shortcut>{optionCommandP});
    EXPECT_EQ(getShortcut(name), (Shortcut{40, optionCommandO.carbonModifiers}));
    recorder->forceUse = true;
    press("ctrl+alt+p");
    EXPECT_TRUE(waitFor([&] { return !recorder->isRecording(); }));
    EXPECT_EQ(getShortcut(name), optionCommandP);
}

} // namespace
