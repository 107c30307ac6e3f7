// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyboardShortcuts/KeyMapping.hpp"

#include "KeyboardShortcuts/Shortcut.hpp"

#include <X11/keysym.h>
#include <array>

namespace zemlar::KeyboardShortcuts::KeyMapping {
namespace {

struct Key {
    int carbonKeyCode;
    unsigned long keysym;
    int qtKey;
    const char* name;
};

// Virtual key codes of the ANSI keyboard.
constexpr std::array keys{
    Key{0, XK_a, Qt::Key_A, "A"},
    Key{1, XK_s, Qt::Key_S, "S"},
    Key{2, XK_d, Qt::Key_D, "D"},
    Key{3, XK_f, Qt::Key_F, "F"},
    Key{4, XK_h, Qt::Key_H, "H"},
    Key{5, XK_g, Qt::Key_G, "G"},
    Key{6, XK_z, Qt::Key_Z, "Z"},
    Key{7, XK_x, Qt::Key_X, "X"},
    Key{8, XK_c, Qt::Key_C, "C"},
    Key{9, XK_v, Qt::Key_V, "V"},
    Key{11, XK_b, Qt::Key_B, "B"},
    Key{12, XK_q, Qt::Key_Q, "Q"},
    Key{13, XK_w, Qt::Key_W, "W"},
    Key{14, XK_e, Qt::Key_E, "E"},
    Key{15, XK_r, Qt::Key_R, "R"},
    Key{16, XK_y, Qt::Key_Y, "Y"},
    Key{17, XK_t, Qt::Key_T, "T"},
    Key{18, XK_1, Qt::Key_1, "1"},
    Key{19, XK_2, Qt::Key_2, "2"},
    Key{20, XK_3, Qt::Key_3, "3"},
    Key{21, XK_4, Qt::Key_4, "4"},
    Key{22, XK_6, Qt::Key_6, "6"},
    Key{23, XK_5, Qt::Key_5, "5"},
    Key{24, XK_equal, Qt::Key_Equal, "="},
    Key{25, XK_9, Qt::Key_9, "9"},
    Key{26, XK_7, Qt::Key_7, "7"},
    Key{27, XK_minus, Qt::Key_Minus, "-"},
    Key{28, XK_8, Qt::Key_8, "8"},
    Key{29, XK_0, Qt::Key_0, "0"},
    Key{30, XK_bracketright, Qt::Key_BracketRight, "]"},
    Key{31, XK_o, Qt::Key_O, "O"},
    Key{32, XK_u, Qt::Key_U, "U"},
    Key{33, XK_bracketleft, Qt::Key_BracketLeft, "["},
    Key{34, XK_i, Qt::Key_I, "I"},
    Key{35, XK_p, Qt::Key_P, "P"},
    Key{36, XK_Return, Qt::Key_Return, "Return"},
    Key{37, XK_l, Qt::Key_L, "L"},
    Key{38, XK_j, Qt::Key_J, "J"},
    Key{39, XK_apostrophe, Qt::Key_Apostrophe, "'"},
    Key{40, XK_k, Qt::Key_K, "K"},
    Key{41, XK_semicolon, Qt::Key_Semicolon, ";"},
    Key{42, XK_backslash, Qt::Key_Backslash, "\\"},
    Key{43, XK_comma, Qt::Key_Comma, ","},
    Key{44, XK_slash, Qt::Key_Slash, "/"},
    Key{45, XK_n, Qt::Key_N, "N"},
    Key{46, XK_m, Qt::Key_M, "M"},
    Key{47, XK_period, Qt::Key_Period, "."},
    Key{48, XK_Tab, Qt::Key_Tab, "Tab"},
    Key{49, XK_space, Qt::Key_Space, "Space"},
    Key{50, XK_grave, Qt::Key_QuoteLeft, "`"},
    Key{51, XK_BackSpace, Qt::Key_Backspace, "Backspace"},
    Key{53, XK_Escape, Qt::Key_Escape, "Esc"},
    Key{64, XK_F17, Qt::Key_F17, "F17"},
    Key{79, XK_F18, Qt::Key_F18, "F18"},
    Key{80, XK_F19, Qt::Key_F19, "F19"},
    Key{90, XK_F20, Qt::Key_F20, "F20"},
    Key{96, XK_F5, Qt::Key_F5, "F5"},
    Key{97, XK_F6, Qt::Key_F6, "F6"},
    Key{98, XK_F7, Qt::Key_F7, "F7"},
    Key{99, XK_F3, Qt::Key_F3, "F3"},
    Key{100, XK_F8, Qt::Key_F8, "F8"},
    Key{101, XK_F9, Qt::Key_F9, "F9"},
    Key{103, XK_F11, Qt::Key_F11, "F11"},
    Key{105, XK_F13, Qt::Key_F13, "F13"},
    Key{106, XK_F16, Qt::Key_F16, "F16"},
    Key{107, XK_F14, Qt::Key_F14, "F14"},
    Key{109, XK_F10, Qt::Key_F10, "F10"},
    Key{111, XK_F12, Qt::Key_F12, "F12"},
    Key{113, XK_F15, Qt::Key_F15, "F15"},
    Key{115, XK_Home, Qt::Key_Home, "Home"},
    Key{116, XK_Prior, Qt::Key_PageUp, "Page Up"},
    Key{117, XK_Delete, Qt::Key_Delete, "Delete"},
    Key{118, XK_F4, Qt::Key_F4, "F4"},
    Key{119, XK_End, Qt::Key_End, "End"},
    Key{120, XK_F2, Qt::Key_F2, "F2"},
    Key{121, XK_Next, Qt::Key_PageDown, "Page Down"},
    Key{122, XK_F1, Qt::Key_F1, "F1"},
    Key{123, XK_Left, Qt::Key_Left, "←"},
    Key{124, XK_Right, Qt::Key_Right, "→"},
    Key{125, XK_Down, Qt::Key_Down, "↓"},
    Key{126, XK_Up, Qt::Key_Up, "↑"},
};

// Qt reports the shifted symbol of a key pressed with Shift; on the ANSI layout it is this key.
struct ShiftedKey {
    int qtKey;
    int carbonKeyCode;
};
constexpr std::array shiftedKeys{
    ShiftedKey{Qt::Key_Exclam, 18},     ShiftedKey{Qt::Key_At, 19},
    ShiftedKey{Qt::Key_NumberSign, 20}, ShiftedKey{Qt::Key_Dollar, 21},
    ShiftedKey{Qt::Key_Percent, 23},    ShiftedKey{Qt::Key_AsciiCircum, 22},
    ShiftedKey{Qt::Key_Ampersand, 26},  ShiftedKey{Qt::Key_Asterisk, 28},
    ShiftedKey{Qt::Key_ParenLeft, 25},  ShiftedKey{Qt::Key_ParenRight, 29},
    ShiftedKey{Qt::Key_Plus, 24},       ShiftedKey{Qt::Key_Underscore, 27},
    ShiftedKey{Qt::Key_BraceRight, 30}, ShiftedKey{Qt::Key_BraceLeft, 33},
    ShiftedKey{Qt::Key_QuoteDbl, 39},   ShiftedKey{Qt::Key_Colon, 41},
    ShiftedKey{Qt::Key_Bar, 42},        ShiftedKey{Qt::Key_Less, 43},
    ShiftedKey{Qt::Key_Greater, 47},    ShiftedKey{Qt::Key_Question, 44},
    ShiftedKey{Qt::Key_AsciiTilde, 50}, ShiftedKey{Qt::Key_Backtab, 48},
    ShiftedKey{Qt::Key_Enter, 36},
};

const Key* findByCarbon(int carbonKeyCode) {
    for (const auto& key : keys) {
        if (key.carbonKeyCode == carbonKeyCode) {
            return &key;
        }
    }
    return nullptr;
}

unsigned long lowerCaseKeysym(unsigned long keysym) {
    return keysym >= XK_A && keysym <= XK_Z ? keysym - XK_A + XK_a : keysym;
}

} // namespace

std::optional<unsigned long> keysymForCarbonKeyCode(int carbonKeyCode) {
    const Key* key = findByCarbon(carbonKeyCode);
    return key ? std::optional(key->keysym) : std::nullopt;
}

std::optional<int> carbonKeyCodeForKeysym(unsigned long keysym) {
    const unsigned long wanted = lowerCaseKeysym(keysym);
    for (const auto& key : keys) {
        if (key.keysym == wanted) {
            return key.carbonKeyCode;
        }
    }
    return std::nullopt;
}

std::optional<int> carbonKeyCodeForQtKey(int qtKey) {
    for (const auto& key : keys) {
        if (key.qtKey == qtKey) {
            return key.carbonKeyCode;
        }
    }
    for (const auto& shifted : shiftedKeys) {
        if (shifted.qtKey == qtKey) {
            return shifted.carbonKeyCode;
        }
    }
    return std::nullopt;
}

std::optional<QString> keyName(int carbonKeyCode) {
    const Key* key = findByCarbon(carbonKeyCode);
    return key ? std::optional(QString::fromUtf8(key->name)) : std::nullopt;
}

bool isFunctionKey(int carbonKeyCode) {
    const Key* key = findByCarbon(carbonKeyCode);
    return key && key->qtKey >= Qt::Key_F1 && key->qtKey <= Qt::Key_F20;
}

unsigned xMaskForCarbonModifiers(int carbonModifiers) {
    unsigned mask = 0;
    if (carbonModifiers & CarbonModifier::command) {
        mask |= XMask::control;
    }
    if (carbonModifiers & CarbonModifier::option) {
        mask |= XMask::mod1;
    }
    if (carbonModifiers & CarbonModifier::control) {
        mask |= XMask::mod4;
    }
    if (carbonModifiers & CarbonModifier::shift) {
        mask |= XMask::shift;
    }
    return mask;
}

int carbonModifiersForXMask(unsigned xMask) {
    int modifiers = 0;
    if (xMask & XMask::control) {
        modifiers |= CarbonModifier::command;
    }
    if (xMask & XMask::mod1) {
        modifiers |= CarbonModifier::option;
    }
    if (xMask & XMask::mod4) {
        modifiers |= CarbonModifier::control;
    }
    if (xMask & XMask::shift) {
        modifiers |= CarbonModifier::shift;
    }
    return modifiers;
}

int carbonModifiersForQt(Qt::KeyboardModifiers modifiers) {
    int carbon = 0;
    if (modifiers & Qt::ControlModifier) {
        carbon |= CarbonModifier::command;
    }
    if (modifiers & Qt::AltModifier) {
        carbon |= CarbonModifier::option;
    }
    if (modifiers & Qt::MetaModifier) {
        carbon |= CarbonModifier::control;
    }
    if (modifiers & Qt::ShiftModifier) {
        carbon |= CarbonModifier::shift;
    }
    return carbon;
}

Qt::KeyboardModifiers qtModifiersForCarbon(int carbonModifiers) {
    Qt::KeyboardModifiers modifiers;
    if (carbonModifiers & CarbonModifier::command) {
        modifiers |= Qt::ControlModifier;
    }
    if (carbonModifiers & CarbonModifier::option) {
        modifiers |= Qt::AltModifier;
    }
    if (carbonModifiers & CarbonModifier::control) {
        modifiers |= Qt::MetaModifier;
    }
    if (carbonModifiers & CarbonModifier::shift) {
        modifiers |= Qt::ShiftModifier;
    }
    return modifiers;
}

} // namespace zemlar::KeyboardShortcuts::KeyMapping
