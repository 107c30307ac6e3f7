// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11TestSupport.hpp"

#include <X11/XKBlib.h>
#include <ZemlarKit/TypingDelivery.hpp>
#include <memory>
#include <thread>

using namespace zemlar;
using namespace zemlar::testing;
using namespace std::chrono_literals;

namespace {

constexpr unsigned int leakingModifiers = ControlMask | Mod1Mask | Mod4Mask;

class TypingDeliveryX11Test : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (!IsSkipped()) {
            setLayout("-layout us");
        }
    }
    void TearDown() override {
        if (privateXServerRunning()) {
            std::system("xdotool keyup shift ctrl alt super >/dev/null 2>&1");
        }
    }

    static void setLayout(const std::string& arguments) {
        ASSERT_EQ(std::system(("setxkbmap " + arguments).c_str()), 0) << arguments;
    }

    /// Whether the server has the key down, as our own connection sees it.
    bool keyDown(KeySym symbol) const {
        char keys[32] = {};
        XQueryKeymap(display, keys);
        const KeyCode key = XKeysymToKeycode(display, symbol);
        return key != 0 && ((keys[key / 8] >> (key % 8)) & 1);
    }

    /// Delivers into a fresh focused field and gives back what the field received; no key may
    /// carry a modifier that would turn it into a shortcut (or Shift, unless allowed).
    std::string typeIntoField(const std::string& code, bool pressReturn, std::size_t expectedKeys,
                              unsigned int forbidden = ShiftMask | leakingModifiers) {
        field_ = std::make_unique<TestTextField>();
        const auto result = QCoro::waitFor(TypingDelivery(10ms, pressReturn).deliver(code));
        EXPECT_TRUE(result.has_value()) << result.error().describe();
        field_->waitForKeys(expectedKeys);
        runEventLoop(20ms); // room for anything typed beyond the expectation
        for (const ReceivedKey& key : field_->keys()) {
            EXPECT_EQ(key.state & forbidden, 0u) << key.text;
        }
        return field_->text();
    }

    std::unique_ptr<Display, int (*)(Display*)> connection{XOpenDisplay(nullptr), XCloseDisplay};
    Display* display = connection.get();
    std::unique_ptr<TestTextField> field_;
};

} // namespace

TEST_F(TypingDeliveryX11Test, TrustsAServerWithXTestAndTypesReturnOnlyWhenAsked) {
    EXPECT_TRUE(TypingDelivery().prepare().has_value());
    EXPECT_EQ(typeIntoField("012345", true, 7), "012345\n");
    for (const std::string code : {"", "123 456", "12a456"}) {
        EXPECT_EQ(QCoro::waitFor(TypingDelivery(10ms, true).deliver(code)),
                  fail(DeliveryError::invalidCode()));
    }
    runEventLoop(50ms);
    EXPECT_EQ(field_->text(), "012345\n") << "an invalid code types nothing";
}

TEST_F(TypingDeliveryX11Test, TypesDigitsOnTheFrenchLayoutEvenWithShiftHeld) {
    // AZERTY puts the digits on the Shift level of the top row.
    setLayout("-layout fr");
    ASSERT_EQ(XkbKeycodeToKeysym(display, XKeysymToKeycode(display, XK_1), 0, 0), XK_ampersand);
    EXPECT_EQ(typeIntoField("9081726354", true, 11, leakingModifiers), "9081726354\n");
    EXPECT_FALSE(keyDown(XK_Shift_L) || keyDown(XK_Shift_R)) << "the digits' Shift stayed down";
    // Held Shift must not turn them back into the symbols of the first level.
    ASSERT_EQ(std::system("xdotool keydown ctrl shift"), 0);
    EXPECT_EQ(typeIntoField("13579", false, 5, leakingModifiers), "13579");
}

TEST_F(TypingDeliveryX11Test, LendsASpareKeyWhenTheGroupHasNoDigitsAndKeepsTheCurrentGroup) {
    setLayout("-layout ara -variant buckwalter");
    EXPECT_EQ(typeIntoField("9081726354", true, 11), "9081726354\n");
    EXPECT_EQ(XKeysymToKeycode(display, XK_1), 0) << "the lent keycodes were not given back";

    // The second group has no digits: typing uses it, not the first, and leaves it on.
    setLayout("-layout us,ara -variant ,buckwalter");
    ASSERT_TRUE(XkbLockGroup(display, XkbUseCoreKbd, 1));
    XSync(display, False);
    EXPECT_EQ(typeIntoField("4567890123", false, 10), "4567890123");
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    EXPECT_EQ(state.group, 1) << "typing changed the user's group";
}

TEST_F(TypingDeliveryX11Test, PressesAgainOnlyTheModifiersStillHeldOnTheKeyboardLocksAside) {
    PhysicalKeyboard hands;
    ASSERT_TRUE(hands.available());
    // Caps Lock last: its press turns the lock on, and typing must neither let go of it nor
    // press it again, which would turn the lock off.
    for (const KeySym modifier : {XK_Shift_L, XK_Control_L, XK_Alt_L, XK_Super_L, XK_Caps_Lock}) {
        SCOPED_TRACE(XKeysymToString(modifier));
        hands.press(modifier);
        EXPECT_EQ(typeIntoField("246801", true, 7), "246801\n");
        EXPECT_TRUE(keyDown(modifier)) << "the held key was not pressed again";
        hands.release(modifier);
    }
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    EXPECT_TRUE(state.locked_mods & LockMask) << "typing toggled Caps Lock";
    hands.press(XK_Caps_Lock);
    hands.release(XK_Caps_Lock);

    // Shift-Return, with Shift let go of while the digits are typed.
    hands.press(XK_Shift_L);
    field_ = std::make_unique<TestTextField>();
    std::thread user([&] {
        field_->waitForKeys(2);
        hands.release(XK_Shift_L);
    });
    const auto result = QCoro::waitFor(TypingDelivery(30ms, true).deliver("246801"));
    user.join();
    EXPECT_TRUE(result.has_value());
    EXPECT_TRUE(field_->waitForKeys(7));
    EXPECT_EQ(field_->text(), "246801\n");
    EXPECT_FALSE(keyDown(XK_Shift_L)) << "the Shift let go of was pressed again";
}

TEST_F(TypingDeliveryX11Test, TypesOnlyWhileTheWindowItIsMeantForHasTheFocus) {
    TestTextField other;
    // The window the user came from is a top-level one with the focus on a child of it.
    field_ = std::make_unique<TestTextField>(TestTextField::Placement::insideTopLevel);
    const std::uint64_t target = field_->topLevel();
    EXPECT_TRUE(QCoro::waitFor(TypingDelivery(10ms, true, target).deliver("135790")).has_value());
    EXPECT_TRUE(field_->waitForKeys(7));
    EXPECT_EQ(field_->text(), "135790\n");

    // Another window takes the focus midway: the rest, Return included, is typed nowhere.
    field_->clear();
    std::thread chat([&] {
        field_->waitForKeys(2);
        other.focus();
    });
    const auto result = QCoro::waitFor(TypingDelivery(30ms, true, target).deliver("135790"));
    chat.join();
    EXPECT_EQ(result, fail(DeliveryError::focusLost()));
    runEventLoop(50ms);
    EXPECT_EQ(other.text(), "");
    EXPECT_GE(field_->text().size(), 2u);
    EXPECT_TRUE(std::string("135790").starts_with(field_->text())) << field_->text();
}
