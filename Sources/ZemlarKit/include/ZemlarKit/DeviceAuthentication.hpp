// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <qcoro/qcorotask.h>

namespace zemlar {

/// Verifies that the device owner is present (their password, or a fingerprint where the system
/// offers one).
class DeviceAuthentication {
public:
    virtual ~DeviceAuthentication() = default;

    /// Asks the owner to authenticate; `reason` says what the answer unlocks. True on success,
    /// false on failure or cancellation (errors are not passed on). Called on the main thread.
    virtual QCoro::Task<bool> authenticate(QString reason) = 0;

protected:
    DeviceAuthentication() = default;
    DeviceAuthentication(const DeviceAuthentication&) = default;
    DeviceAuthentication& operator=(const DeviceAuthentication&) = default;
};

} // namespace zemlar
