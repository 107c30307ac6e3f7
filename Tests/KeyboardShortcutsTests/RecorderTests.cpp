// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/Recorder.hpp>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <TestSupport/FreshSettings.hpp>

using namespace zemlar::KeyboardShortcuts;
using zemlar::testing::FreshSettings;

namespace {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};

/// A recorder whose display check and beep are under the test's control; it records the
/// shortcuts the real alert was shown for.
class ScriptedRecorder : public Recorder {
public:
    using Recorder::Recorder;

    bool takenBySystem = false;
    int beeps = 0;
    std::vector<Shortcut> askedAbout;

protected:
    bool isTakenBySystem(const Shortcut& /*shortcut*/) override { return takenBySystem; }
    bool confirmUseOfTakenShortcut(const Shortcut& shortcut) override {
        askedAbout.push_back(shortcut);
        return Recorder::confirmUseOfTakenShortcut(shortcut);
    }
    void beep() override { ++beeps; }
};

class RecorderTest : public FreshSettings {
protected:
    void SetUp() override {
        FreshSettings::SetUp();
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        other = new QLineEdit(window.get());
        recorder = new ScriptedRecorder(Name("togglePanel", optionCommandO), window.get());
        layout->addWidget(other);
        layout->addWidget(recorder);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();
    }

    void TearDown() override {
        window.reset();
        FreshSettings::TearDown();
    }

    void startRecording() {
        QTest::mouseClick(recorder, Qt::LeftButton);
        ASSERT_TRUE(recorder->hasFocus());
        ASSERT_TRUE(recorder->isRecording());
    }

    void sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, key, modifiers);
        QApplication::sendEvent(recorder, &event);
    }

    static std::optional<Shortcut> storedShortcut() { return getShortcut("togglePanel"); }

    std::unique_ptr<QWidget> window;
    QLineEdit* other = nullptr;
    ScriptedRecorder* recorder = nullptr;
};

TEST_F(RecorderTest, ShowsTheStoredShortcutUntilClickedOrActivatedFromTheKeyboard) {
    recorder->setFocus(); // as when the window opens with the recorder first
    EXPECT_EQ(recorder->placeholderText(), "Record Shortcut");
    sendKey(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    EXPECT_TRUE(recorder->isRecording());
    other->setFocus();
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+O");
    // It follows changes made elsewhere.
    setShortcut(Shortcut{1, CarbonModifier::option}, Name("togglePanel", optionCommandO));
    EXPECT_EQ(recorder->text(), "Alt+S");
}

// Backspace removes the shortcut.
TEST_F(RecorderTest, AValidPressIsStoredAndEndsRecording) {
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::optional<Shortcut> expected;
        const char* text;
    };
    const Press presses[] = {
        {Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier,
         Shortcut{40, CarbonModifier::command | CarbonModifier::shift}, "Ctrl+Shift+K"},
        {Qt::Key_Exclam, Qt::MetaModifier | Qt::ShiftModifier,
         Shortcut{18, CarbonModifier::control | CarbonModifier::shift}, "Shift+Super+1"},
        {Qt::Key_F6, Qt::NoModifier, Shortcut{97, 0}, "F6"}, // a function key may stand alone
        {Qt::Key_Backspace, Qt::NoModifier, std::nullopt, ""},
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.text);
        startRecording();
        QTest::keyClick(recorder, press.key, press.modifiers);
        EXPECT_EQ(storedShortcut(), press.expected);
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_EQ(recorder->text(), press.text);
    }
}

// Held modifiers are shown and invalid presses beep while recording goes on; Escape, alone or
// on the keypad, ends it keeping the previous shortcut.
TEST_F(RecorderTest, OnlyAValidPressChangesTheShortcut) {
    startRecording();
    sendKey(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(recorder->text(), "Ctrl+");
    sendKey(QEvent::KeyPress, Qt::Key_Alt, Qt::ControlModifier);
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+");
    sendKey(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(recorder->text(), "Alt+");
    QTest::keyClick(recorder, Qt::Key_K);
    QTest::keyClick(recorder, Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_EQ(recorder->beeps, 2);
    for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::KeypadModifier}) {
        QTest::keyClick(recorder, Qt::Key_Escape, modifiers);
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_EQ(recorder->text(), "Ctrl+Alt+O");
        startRecording();
    }
    EXPECT_EQ(storedShortcut(), optionCommandO);
}

// Declined with its default button, recording goes on after the alert;
// forced, the shortcut is stored and the window's reactivation must not record again.
TEST_F(RecorderTest, TheAlertAboutATakenShortcutOffersToForceIt) {
    recorder->takenBySystem = true;
    startRecording();
    const Shortcut controlP{35, CarbonModifier::command};
    for (const bool force : {false, true}) {
        QTimer::singleShot(0, [&] {
            auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(alert, nullptr);
            QAbstractButton* answer = alert->defaultButton();
            for (QAbstractButton* button : alert->buttons()) {
                answer = force && button->text() == "Use It Anyway" ? button : answer;
            }
            answer->click();
        });
        QTest::keyClick(recorder, Qt::Key_P, Qt::ControlModifier);
        QTest::qWait(50);
        EXPECT_EQ(recorder->isRecording(), !force) << force;
        EXPECT_EQ(storedShortcut(), force ? controlP : optionCommandO);
    }
    EXPECT_EQ(recorder->askedAbout, (std::vector{controlP, controlP}));
}

} // namespace
