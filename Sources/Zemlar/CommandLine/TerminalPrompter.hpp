// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ZemlarKit/PamDeviceAuthentication.hpp>

namespace zemlar::CommandLine {

/// The PAM conversation on the terminal: questions on the controlling terminal (secrets without
/// echo), messages on standard error.
class TerminalPrompter final : public AuthenticationPrompter {
public:
    void begin(const QString& reason, std::function<void()> cancel) override;
    std::optional<QString> askSecret(const QString& prompt, bool echo) override;
    void showMessage(const QString& text, bool isError) override;
    void end(bool succeeded) override;
};

} // namespace zemlar::CommandLine
