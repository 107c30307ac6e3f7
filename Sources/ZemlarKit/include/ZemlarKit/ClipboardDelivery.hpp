// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/CodeDelivery.hpp"
#include "ZemlarKit/PasteboardClient.hpp"

#include <QMetaObject>
#include <chrono>
#include <memory>

class QTimer;

namespace zemlar {

/// Puts the code on the clipboard, concealed and transient, and clears it after `clearAfter`
/// unless the clipboard has changed since; a clearing still waiting runs at once when the
/// application quits or the object dies. Lives on the main thread, which needs a running Qt
/// event loop for the clearing.
class ClipboardDelivery final : public CodeDelivery {
public:
    ClipboardDelivery(std::shared_ptr<PasteboardClient> pasteboard,
                      std::chrono::milliseconds clearAfter);
    ~ClipboardDelivery() override;
    ClipboardDelivery(const ClipboardDelivery&) = delete;
    ClipboardDelivery& operator=(const ClipboardDelivery&) = delete;

    /// Always success: the clipboard needs no permission.
    Result<void, DeliveryError> prepare() override;
    /// Writes the code, restarts the clearing clock and returns success at once.
    QCoro::Task<Result<void, DeliveryError>> deliver(std::string code) override;

    /// Whether a clearing is still waiting.
    bool clearPending() const;

    std::shared_ptr<PasteboardClient> pasteboard;
    std::chrono::milliseconds clearAfter;

private:
    void scheduleClearing();
    void clearIfUnchanged();
    void clearNowIfPending();

    /// The clipboard's change count right after the last write.
    std::int64_t countAfterWrite = 0;
    QMetaObject::Connection quitConnection;

    /// The pending clearing, if any; replacing it cancels the previous one.
    std::unique_ptr<QTimer> clearTask;
};

} // namespace zemlar
