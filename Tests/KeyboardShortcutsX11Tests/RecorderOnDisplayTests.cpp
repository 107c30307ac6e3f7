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

class RecorderOnDisplay : public HotKeys {
protected:
    void SetUp() override {
        HotKeys::SetUp();
        if (IsSkipped()) {
            return;
        }
        name = Name("togglePanel", optionCommandO); // stores the default in the emptied settings
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        auto* other = new QLineEdit(window.get());
        recorder = new AnsweringRecorder(name, window.get());
        layout->addWidget(other);
        layout->addWidget(recorder);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(waitFor([&] { return window->isActiveWindow(); }));
        other->setFocus();
    }

    void TearDown() override {
        window.reset();
        HotKeys::TearDown();
    }

    void startRecording() {
        recorder->setFocus();
        QKeyEvent space(QEvent::Type(6 /* QEvent::KeyPress, a macro of Xlib's here */),
                        Qt::Key_Space, Qt::NoModifier);
        QApplication::sendEvent(recorder, &space);
        ASSERT_TRUE(waitFor([&] { return recorder->isRecording(); }));
    }

    bool recordingEnds() {
        return waitFor([&] { return !recorder->isRecording(); });
    }

    Name name{"togglePanel"};
    std::unique_ptr<QWidget> window;
    AnsweringRecorder* recorder = nullptr;
};

TEST_F(RecorderOnDisplay, ItsOwnHotKeyOrEscapeWhileRecordingKeepTheShortcutAndItsGrab) {
    listen(name);
    for (const char* keys : {"ctrl+alt+o", "Escape"}) {
        SCOPED_TRACE(keys);
        startRecording();
        press(keys);
        EXPECT_TRUE(recordingEnds());
        EXPECT_TRUE(receivedNothing());
        EXPECT_EQ(getShortcut(name), optionCommandO);
        EXPECT_EQ(recorder->text(), "Ctrl+Alt+O");
        press("ctrl+alt+o");
        EXPECT_TRUE(receivedDownAndUp());
    }
}

TEST_F(RecorderOnDisplay, ARecordedShortcutReplacesTheGrab) {
    listen(name);
    startRecording();
    press("ctrl+alt+k");
    EXPECT_TRUE(recordingEnds());
    EXPECT_EQ(getShortcut(name), (Shortcut{40, optionCommandO.carbonModifiers}));
    press("ctrl+alt+o");
    EXPECT_TRUE(receivedNothing());
    press("ctrl+alt+k");
    EXPECT_TRUE(receivedDownAndUp());
}

// A client that grabs every lock combination takes the keys before the recorder sees them; one
// that grabbed only some of them is found by the recorder's own trial grab.
TEST_F(RecorderOnDisplay, AShortcutAnotherClientHoldsIsUsedOnlyWhenForced) {
    OtherClient other;
    ASSERT_TRUE(other.grab(optionCommandP, KeyMapping::XMask::mod2));
    listen(name);
    startRecording();
    press("ctrl+alt+p");
    ASSERT_TRUE(waitFor([&] { return recorder->askedAbout.size() == 1; }));
    EXPECT_EQ(recorder->askedAbout[0], optionCommandP);
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(getShortcut(name), optionCommandO);

    recorder->forceUse = true;
    testing::internal::CaptureStderr();
    press("ctrl+alt+p");
    const bool ended = recordingEnds();
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ended);
    EXPECT_EQ(getShortcut(name), optionCommandP);
    EXPECT_EQ(diagnostics, "Error registering hotkey Ctrl+Alt+P\n");
}

} // namespace
