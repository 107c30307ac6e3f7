// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ClipboardDelivery.hpp"

#include <QTimer>

namespace zemlar {

ClipboardDelivery::ClipboardDelivery(std::shared_ptr<PasteboardClient> pasteboard,
                                     std::chrono::milliseconds clearAfter)
    : pasteboard(std::move(pasteboard)), clearAfter(clearAfter) {}

ClipboardDelivery::~ClipboardDelivery() = default;

Result<void, DeliveryError> ClipboardDelivery::prepare() {
    return {};
}

QCoro::Task<Result<void, DeliveryError>> ClipboardDelivery::deliver(std::string code) {
    pasteboard->writeConcealed(code);
    const std::int64_t countAfterWrite = pasteboard->changeCount();
    scheduleClearing(countAfterWrite);
    co_return Result<void, DeliveryError>{};
}

bool ClipboardDelivery::clearPending() const {
    return clearTask && clearTask->isActive();
}

void ClipboardDelivery::scheduleClearing(std::int64_t countAfterWrite) {
    // Destroying the previous timer cancels its clearing: the clock restarts with each copy.
    clearTask = std::make_unique<QTimer>();
    clearTask->setSingleShot(true);
    clearTask->setTimerType(Qt::PreciseTimer);
    QObject::connect(clearTask.get(), &QTimer::timeout, [this, countAfterWrite] {
        if (pasteboard->changeCount() == countAfterWrite) {
            pasteboard->clear();
        }
    });
    clearTask->start(clearAfter);
}

} // namespace zemlar
