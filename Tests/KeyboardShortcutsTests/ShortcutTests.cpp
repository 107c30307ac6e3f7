// SPDX-License-Identifier: GPL-3.0-or-later
#include <KeyboardShortcuts/KeyMapping.hpp>
#include <KeyboardShortcuts/Shortcut.hpp>
#include <KeyboardShortcuts/Translations.hpp>
#include <QCoreApplication>
#include <X11/keysym.h>
#include <gtest/gtest.h>

using namespace zemlar::KeyboardShortcuts;

namespace {

constexpr Shortcut optionCommandO{31, CarbonModifier::command | CarbonModifier::option};

TEST(Shortcut, JSONIsTheCompactObjectAndReadingAcceptsAnyOrderSpacingAndExtraFields) {
    EXPECT_EQ(optionCommandO.jsonString(), R"({"carbonKeyCode":31,"carbonModifiers":2304})");
    const Shortcut negative{-1, 0};
    EXPECT_EQ(Shortcut::fromJSONString(negative.jsonString()), negative);
    EXPECT_EQ(Shortcut::fromJSONString(R"( { "carbonModifiers" : 2304, "carbonKeyCode" : 31 } )"),
              optionCommandO);
    EXPECT_EQ(Shortcut::fromJSONString(R"({"carbonKeyCode":31,"carbonModifiers":2304,"x":1})"),
              optionCommandO);
}

TEST(Shortcut, ReadingRefusesAnythingButTwoIntegerFields) {
    for (const char* text : {"", "false", "31", "[31,2304]", "{", R"({"carbonKeyCode":31})",
                             R"({"carbonKeyCode":"31","carbonModifiers":2304})",
                             R"({"carbonKeyCode":31.5,"carbonModifiers":2304})",
                             R"({"carbonKeyCode":31,"carbonModifiers":null})",
                             R"({"carbonKeyCode":1e20,"carbonModifiers":0})",
                             R"({"carbonKeyCode":31,"carbonModifiers":2304} trailing)"}) {
        EXPECT_FALSE(Shortcut::fromJSONString(QString::fromUtf8(text))) << text;
    }
}

TEST(Shortcut, DescriptionUsesLinuxModifierNamesInAFixedOrder) {
    EXPECT_EQ(optionCommandO.description(), "Ctrl+Alt+O");
    const int all = CarbonModifier::control | CarbonModifier::shift | CarbonModifier::option |
                    CarbonModifier::command | CarbonModifier::capsLock;
    EXPECT_EQ((Shortcut{96, all}).description(), "Ctrl+Alt+Shift+Super+F5");
    EXPECT_EQ((Shortcut{49, CarbonModifier::control}).description(), "Super+Space");
    EXPECT_EQ((Shortcut{123, CarbonModifier::command}).description(), "Ctrl+←");
    EXPECT_EQ((Shortcut{200, CarbonModifier::command}).description(), "Ctrl+Key 200");
    EXPECT_EQ(Shortcut::modifiersDescription(0), "");
}

TEST(KeyMapping, KeyCodesOfTheANSILayoutMapToTheirKeysyms) {
    const std::pair<int, unsigned long> keys[] = {
        {31, XK_o},     {0, XK_a},       {29, XK_0},   {122, XK_F1},   {90, XK_F20},
        {49, XK_space}, {36, XK_Return}, {126, XK_Up}, {50, XK_grave}, {42, XK_backslash}};
    for (const auto& [code, keysym] : keys) {
        EXPECT_EQ(KeyMapping::keysymForCarbonKeyCode(code), keysym) << code;
    }
    EXPECT_FALSE(KeyMapping::keysymForCarbonKeyCode(10)); // the ISO section key
    EXPECT_FALSE(KeyMapping::keysymForCarbonKeyCode(-1));
}

TEST(KeyMapping, EveryMappedKeyRoundTripsThroughKeysymAndQtKey) {
    int mapped = 0;
    for (int code = 0; code < 128; ++code) {
        const auto keysym = KeyMapping::keysymForCarbonKeyCode(code);
        if (!keysym) {
            continue;
        }
        ++mapped;
        EXPECT_EQ(KeyMapping::carbonKeyCodeForKeysym(*keysym), code);
        EXPECT_TRUE(KeyMapping::keyName(code)) << code;
    }
    EXPECT_EQ(mapped, 81);
    EXPECT_EQ(KeyMapping::carbonKeyCodeForKeysym(XK_O), 31);
    EXPECT_FALSE(KeyMapping::carbonKeyCodeForKeysym(XK_Num_Lock));
}

TEST(KeyMapping, QtKeysIncludingShiftedSymbolsGiveTheirKey) {
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_O, 31},        {Qt::Key_1, 18},
                                            {Qt::Key_Exclam, 18},   {Qt::Key_ParenRight, 29},
                                            {Qt::Key_Question, 44}, {Qt::Key_Backtab, 48},
                                            {Qt::Key_Enter, 36},    {Qt::Key_F12, 111}};
    for (const auto& [key, code] : keys) {
        EXPECT_EQ(KeyMapping::carbonKeyCodeForQtKey(key), code) << code;
    }
    EXPECT_FALSE(KeyMapping::carbonKeyCodeForQtKey(Qt::Key_VolumeUp));
    EXPECT_TRUE(KeyMapping::isFunctionKey(96));
    EXPECT_FALSE(KeyMapping::isFunctionKey(31));
}

TEST(KeyMapping, CommandIsCtrlOptionIsAltControlIsSuper) {
    using namespace KeyMapping;
    EXPECT_EQ(xMaskForCarbonModifiers(optionCommandO.carbonModifiers),
              XMask::control | XMask::mod1);
    EXPECT_EQ(xMaskForCarbonModifiers(CarbonModifier::control), XMask::mod4);
    EXPECT_EQ(xMaskForCarbonModifiers(CarbonModifier::shift), XMask::shift);
    EXPECT_EQ(xMaskForCarbonModifiers(CarbonModifier::capsLock), 0U);
    EXPECT_EQ(carbonModifiersForXMask(XMask::control | XMask::mod1 | XMask::lock | XMask::mod2),
              optionCommandO.carbonModifiers);
    EXPECT_EQ(carbonModifiersForQt(Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier),
              optionCommandO.carbonModifiers);
    EXPECT_EQ(carbonModifiersForQt(Qt::MetaModifier | Qt::ShiftModifier),
              CarbonModifier::control | CarbonModifier::shift);
    for (int modifiers = 0; modifiers <= CarbonModifier::all;
         modifiers += CarbonModifier::command) {
        const int clean = modifiers & CarbonModifier::all;
        EXPECT_EQ(carbonModifiersForXMask(xMaskForCarbonModifiers(clean)), clean);
        EXPECT_EQ(carbonModifiersForQt(qtModifiersForCarbon(clean)), clean);
    }
}

TEST(Translations, EveryMessageKeyHasAnEnglishTextFoundThroughQtOnceInstalled) {
    for (const char* key :
         {"record_shortcut", "press_shortcut", "keyboard_shortcut_used_by_menu_item",
          "keyboard_shortcut_disallowed", "keyboard_shortcut_used_by_system",
          "keyboard_shortcuts_can_be_changed", "force_use_shortcut"}) {
        const auto text = Translations::english(key);
        ASSERT_TRUE(text) << key;
        EXPECT_NE(*text, QString::fromUtf8(key));
    }
    EXPECT_FALSE(Translations::english("no_such_key"));
    Translations::install();
    Translations::install();
    EXPECT_EQ(QCoreApplication::translate("KeyboardShortcuts", "record_shortcut"),
              "Record Shortcut");
    EXPECT_EQ(Translations::text("no_such_key"), "no_such_key");
    EXPECT_EQ(QCoreApplication::translate("Other", "record_shortcut"), "record_shortcut");
}

} // namespace
