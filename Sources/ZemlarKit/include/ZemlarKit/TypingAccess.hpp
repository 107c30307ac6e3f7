// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// What keeps the typing of codes from working in this session.
namespace zemlar::TypingAccess {

enum class Obstacle {
    /// Nothing: the display opens and offers XTEST.
    none,
    /// DISPLAY names no X display that opens.
    noDisplay,
    /// The display opens but lacks the XTEST extension.
    noXTest,
};

Obstacle obstacle();

} // namespace zemlar::TypingAccess
