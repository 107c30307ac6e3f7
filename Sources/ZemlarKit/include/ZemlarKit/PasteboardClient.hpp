// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zemlar {

/// The general clipboard, as clipboard delivery needs it.
class PasteboardClient {
public:
    virtual ~PasteboardClient() = default;

    /// Grows by one on every change of the clipboard's contents, by us or by anyone else.
    virtual std::int64_t changeCount() const = 0;
    /// Replaces the contents with the text, marked so that clipboard managers neither show nor
    /// record it.
    virtual void writeConcealed(const std::string& string) = 0;
    /// Empties the clipboard.
    virtual void clear() = 0;
};

} // namespace zemlar
