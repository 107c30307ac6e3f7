// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataControl.hpp"
#include "ZemlarKit/PasteboardClient.hpp"

#include <memory>

namespace zemlar {

/// The clipboard of a Wayland session. The code goes on through Qt's clipboard, which works
/// while our window has the keyboard focus (the compositor gives the clipboard only to the
/// focused client). Changes are counted, and the clipboard emptied, through data control where
/// the compositor offers it, so both work after the panel has closed; elsewhere the clipboard
/// cannot be cleared and `clear` does nothing.
class WaylandPasteboard final : public PasteboardClient {
public:
    WaylandPasteboard();

    /// Whether the compositor lets us clear the clipboard.
    bool canClear() const { return dataControl_ != nullptr; }

    std::int64_t changeCount() const override;
    /// The same data as on X11, the password-manager hint included.
    void writeConcealed(const std::string& string) override;
    void clear() override;

private:
    std::unique_ptr<DataControl> dataControl_;
    std::int64_t writes_ = 0;
};

} // namespace zemlar
