// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zemlar {

/// How a picked account's code is handed over.
enum class SubmitMode {
    /// Type the code.
    type,
    /// Type the code, then Return.
    typeAndSubmit,
    /// Put the code on the clipboard.
    copy,
};

} // namespace zemlar
