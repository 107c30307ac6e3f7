// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zemlar {

/// Why another app's export gave nothing at all. A recognised export is read as a whole or not
/// at all: no failure leaves part of it imported.
enum class ExportFailure {
    /// The export is encrypted and no password was given.
    passwordNeeded,
    /// The password does not open the export (or the encrypted part is damaged).
    wrongPassword,
    /// The export is recognised but its content cannot be read.
    damaged,
    /// The export is locked to the exporting app's account and cannot be opened elsewhere.
    restricted,
    /// Opening the export asks for more memory than this machine can give.
    tooCostly
};

} // namespace zemlar
