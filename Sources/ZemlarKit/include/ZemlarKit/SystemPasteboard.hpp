// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/PasteboardClient.hpp"

#include <QString>

class QMimeData;

namespace zemlar {

/// The desktop's clipboard (never the primary selection) through QClipboard. Needs a
/// QGuiApplication and is used on the main thread only. The change count starts when the first
/// SystemPasteboard is made and counts every change the application sees from then on.
class SystemPasteboard final : public PasteboardClient {
public:
    /// The MIME type clipboard managers read to leave a secret out of their history.
    static constexpr const char* passwordManagerHint = "x-kde-passwordManagerHint";

    SystemPasteboard();

    std::int64_t changeCount() const override;
    /// Plain text plus the password-manager hint "secret" and the concealed and transient
    /// markers, each under its own MIME type.
    void writeConcealed(const std::string& string) override;
    /// That data for any text, for the caller to put on the clipboard.
    static QMimeData* concealedData(const QString& text);
    void clear() override;

    bool operator==(const SystemPasteboard&) const { return true; }
};

} // namespace zemlar
