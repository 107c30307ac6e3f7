// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/KeyMapping.hpp>
#include <KeyboardShortcuts/Shortcut.hpp>
#include <gtest/gtest.h>

using namespace zemlar::KeyboardShortcuts;

namespace {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};

// Reading takes any order and spacing, but nothing but two integer fields.
TEST(Shortcut, JSONIsTheCompactObject) {
    EXPECT_EQ(optionCommandO.jsonString(), R"({"carbonKeyCode":31,"carbonModifiers":2304})");
    EXPECT_EQ(Shortcut::fromJSONString(R"( { "carbonModifiers" : 2304, "carbonKeyCode" : 31 } )"),
              optionCommandO);
    for (const char* text : {"false", "[31,2304]", R"({"carbonKeyCode":31})",
                             R"({"carbonKeyCode":"31","carbonModifiers":2304})",
                             R"({"carbonKeyCode":31.5,"carbonModifiers":2304})",
                             R"({"carbonKeyCode":1e20,"carbonModifiers":0})"}) {
        EXPECT_FALSE(Shortcut::fromJSONString(QString::fromUtf8(text))) << text;
    }
}

TEST(Shortcut, DescriptionUsesLinuxModifierNamesInAFixedOrder) {
    const int all = CarbonModifier::control | CarbonModifier::shift | CarbonModifier::option |
                    CarbonModifier::command | CarbonModifier::capsLock;
    EXPECT_EQ((Shortcut{96, all}).description(), "Ctrl+Alt+Shift+Super+F5");
    EXPECT_EQ((Shortcut{123, CarbonModifier::control}).description(), "Super+←");
    EXPECT_EQ((Shortcut{200, CarbonModifier::command}).description(), "Ctrl+Key 200");
}

TEST(KeyMapping, EveryMappedKeyRoundTripsThroughKeysymAndQtKey) {
    int mapped = 0;
    for (int code = 0; code < 128; ++code) {
        if (const auto keysym = KeyMapping::keysymForCarbonKeyCode(code)) {
            ++mapped;
            EXPECT_EQ(KeyMapping::carbonKeyCodeForKeysym(*keysym), code);
            EXPECT_TRUE(KeyMapping::keyName(code)) << code;
        }
    }
    EXPECT_EQ(mapped, 81);
    EXPECT_EQ(KeyMapping::carbonKeyCodeForQtKey(Qt::Key_Backtab), 48);
}

TEST(KeyMapping, CommandIsCtrlOptionIsAltControlIsSuper) {
    using namespace KeyMapping;
    EXPECT_EQ(xMaskForCarbonModifiers(optionCommandO.carbonModifiers),
              XMask::control | XMask::mod1);
    EXPECT_EQ(xMaskForCarbonModifiers(CarbonModifier::control), XMask::mod4);
    EXPECT_EQ(xMaskForCarbonModifiers(CarbonModifier::shift), XMask::shift);
    EXPECT_EQ(carbonModifiersForXMask(XMask::control | XMask::mod1 | XMask::lock | XMask::mod2),
              optionCommandO.carbonModifiers);
    EXPECT_EQ(carbonModifiersForQt(Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier),
              optionCommandO.carbonModifiers);
    for (int modifiers = 0; modifiers <= CarbonModifier::all;
         modifiers += CarbonModifier::command) {
        const int clean = modifiers & CarbonModifier::all;
        EXPECT_EQ(carbonModifiersForXMask(xMaskForCarbonModifiers(clean)), clean);
        EXPECT_EQ(carbonModifiersForQt(qtModifiersForCarbon(clean)), clean);
    }
}

} // namespace
