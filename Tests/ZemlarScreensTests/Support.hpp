// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <TestSupport/FreshSettings.hpp>
#include <ZemlarKit/DeviceAuthentication.hpp>
#include <ZemlarKit/PamDeviceAuthentication.hpp>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace zemlar::testing {

/// Answers authentications from a script (true when the script runs out) and records the
/// reasons it was asked with.
class FakeDeviceAuthentication final : public DeviceAuthentication {
public:
    std::deque<bool> answers;
    std::vector<QString> reasons;

    QCoro::Task<bool> authenticate(QString reason) override {
        reasons.push_back(reason);
        bool answer = true;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        co_return answer;
    }
};

/// A prompter that answers from a script without any window.
class ScriptedPrompter final : public AuthenticationPrompter {
public:
    std::optional<QString> answer;
    std::vector<QString> prompts;
    std::vector<std::pair<QString, bool>> messages;
    std::vector<QString> begun;
    std::vector<bool> ended;
    std::size_t messagesBeforeEnd = 0;

    void begin(const QString& reason, std::function<void()>) override { begun.push_back(reason); }
    std::optional<QString> askSecret(const QString& prompt, bool) override {
        prompts.push_back(prompt);
        return answer;
    }
    void showMessage(const QString& text, bool isError) override {
        messages.emplace_back(text, isError);
    }
    void end(bool succeeded) override {
        ended.push_back(succeeded);
        messagesBeforeEnd = messages.size();
    }
};

/// A connection that is not connected to any bus: the lock then hears no events.
inline QDBusConnection noBus() {
    return QDBusConnection(QStringLiteral("zemlar-test-no-bus"));
}

} // namespace zemlar::testing
