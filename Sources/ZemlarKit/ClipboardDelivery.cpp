// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ClipboardDelivery.hpp"

#include <OTPCore/Crypto.hpp>
#include <QCoreApplication>
#include <QTimer>

namespace zemlar {

ClipboardDelivery::ClipboardDelivery(std::shared_ptr<PasteboardClient> pasteboard,
                                     std::chrono::milliseconds clearAfter)
    : pasteboard(std::move(pasteboard)), clearAfter(clearAfter) {
    // On Quit the clipboard manager takes over what Zemlar still owns: clear it first.
    if (auto* application = QCoreApplication::instance()) {
        quitConnection = QObject::connect(application, &QCoreApplication::aboutToQuit,
                                          [this] { clearNowIfPending(); });
    }
}

ClipboardDelivery::~ClipboardDelivery() {
    QObject::disconnect(quitConnection);
    clearNowIfPending();
}

void ClipboardDelivery::clearNowIfPending() {
    if (clearPending()) {
        clearIfUnchanged();
        clearTask.reset();
    }
}

void ClipboardDelivery::clearIfUnchanged() {
    if (pasteboard->changeCount() == countAfterWrite) {
        pasteboard->clear();
    }
}

Result<void, DeliveryError> ClipboardDelivery::prepare() {
    return {};
}

QCoro::Task<Result<void, DeliveryError>> ClipboardDelivery::deliver(std::string code) {
    const Crypto::WipedText wipedCode(std::move(code));
    pasteboard->writeConcealed(wipedCode.value());
    countAfterWrite = pasteboard->changeCount();
    scheduleClearing();
    co_return Result<void, DeliveryError>{};
}

bool ClipboardDelivery::clearPending() const {
    return clearTask && clearTask->isActive();
}

void ClipboardDelivery::scheduleClearing() {
    // Destroying the previous timer cancels its clearing: the clock restarts with each copy.
    clearTask = std::make_unique<QTimer>();
    clearTask->setSingleShot(true);
    clearTask->setTimerType(Qt::PreciseTimer);
    QObject::connect(clearTask.get(), &QTimer::timeout, [this] { clearIfUnchanged(); });
    clearTask->start(clearAfter);
}

} // namespace zemlar
