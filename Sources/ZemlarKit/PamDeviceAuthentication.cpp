// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/PamDeviceAuthentication.hpp"

#include "OTPCore/Crypto.hpp"
#include "ZemlarKit/SecretText.hpp"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFuture>
#include <QPromise>
#include <QThread>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <qcoro/qcorofuture.h>
#include <security/pam_appl.h>
#include <span>
#include <unistd.h>
#include <utility>

namespace zemlar {

namespace {

/// One authentication, shared by the waiting task, the PAM worker and the prompter's cancel.
///
/// A cancel cannot stop PAM itself: a fingerprint module waits for the reader inside
/// `pam_authenticate` without calling the conversation, and the handle may only be ended by the
/// worker once that call has returned (`pam_end` from another thread is not safe). So a cancel
/// settles the outcome as a failure at once and abandons the conversation: every later question
/// gets PAM_CONV_ERR, messages are dropped, the worker ends when the module gives up, and its
/// outcome is ignored.
class Attempt {
public:
    Attempt() { promise_.start(); }

    QFuture<bool> outcome() { return promise_.future(); }

    /// Main thread only; the first outcome counts.
    void settle(bool succeeded) {
        if (settled_) {
            return;
        }
        settled_ = true;
        promise_.addResult(succeeded);
        promise_.finish();
    }

    void abandon() {
        abandoned_ = true;
        settle(false);
    }

    bool abandoned() const { return abandoned_; }

private:
    QPromise<bool> promise_;
    bool settled_ = false;
    std::atomic<bool> abandoned_ = false;
};

/// Carries the questions of PAM, asked on the worker thread, over to the prompter on the main
/// thread, and waits for the answers. The prompter is only ever held weakly here: the worker
/// must never own its last reference, since a widget may only be destroyed on the main thread.
/// A prompter that is gone, or an abandoned attempt, answers nothing.
class Conversation {
public:
    Conversation(std::weak_ptr<AuthenticationPrompter> prompter, std::shared_ptr<Attempt> attempt)
        : prompter_(std::move(prompter)), attempt_(std::move(attempt)) {}

    std::optional<QString> ask(const QString& prompt, bool echo) {
        std::optional<QString> answer;
        if (attempt_->abandoned()) {
            return answer;
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                const auto prompter = prompter_.lock();
                if (prompter && !attempt_->abandoned()) {
                    answer = prompter->askSecret(prompt, echo);
                }
            },
            Qt::BlockingQueuedConnection);
        return answer;
    }

    void show(const QString& text, bool isError) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [weakPrompter = prompter_, attempt = attempt_, text, isError] {
                const auto prompter = weakPrompter.lock();
                if (prompter && !attempt->abandoned()) {
                    prompter->showMessage(text, isError);
                }
            },
            Qt::QueuedConnection);
    }

private:
    std::weak_ptr<AuthenticationPrompter> prompter_;
    std::shared_ptr<Attempt> attempt_;
};

void wipe(char* text, std::size_t length) {
    Crypto::wipe(std::span(reinterpret_cast<std::uint8_t*>(text), length));
}

void freeResponses(pam_response* responses, int count) {
    for (int index = 0; index < count; ++index) {
        if (char* answer = responses[index].resp) {
            wipe(answer, std::strlen(answer));
            std::free(answer);
        }
    }
    std::free(responses);
}

int converse(int count, const pam_message** messages, pam_response** responses, void* data) {
    if (count <= 0 || messages == nullptr || responses == nullptr) {
        return PAM_CONV_ERR;
    }
    auto& conversation = *static_cast<Conversation*>(data);
    auto* replies =
        static_cast<pam_response*>(std::calloc(std::size_t(count), sizeof(pam_response)));
    if (replies == nullptr) {
        return PAM_BUF_ERR;
    }
    for (int index = 0; index < count; ++index) {
        const pam_message& message = *messages[index];
        const QString text = QString::fromUtf8(message.msg != nullptr ? message.msg : "");
        switch (message.msg_style) {
        case PAM_PROMPT_ECHO_OFF:
        case PAM_PROMPT_ECHO_ON: {
            std::optional<QString> answer =
                conversation.ask(text, message.msg_style == PAM_PROMPT_ECHO_ON);
            if (!answer) {
                freeResponses(replies, count);
                return PAM_CONV_ERR;
            }
            const Crypto::Wiped<QByteArray> utf8(answer->toUtf8());
            SecretText::wipe(*answer);
            replies[index].resp = strndup(utf8->constData(), std::size_t(utf8->size()));
            if (replies[index].resp == nullptr) {
                freeResponses(replies, count);
                return PAM_BUF_ERR;
            }
            break;
        }
        case PAM_ERROR_MSG:
        case PAM_TEXT_INFO:
            conversation.show(text, message.msg_style == PAM_ERROR_MSG);
            break;
        default:
            freeResponses(replies, count);
            return PAM_CONV_ERR;
        }
    }
    *responses = replies;
    return PAM_SUCCESS;
}

bool runPam(const QString& service, const QString& user, Conversation& conversation) {
    const pam_conv conv{&converse, &conversation};
    pam_handle_t* handle = nullptr;
    const QByteArray serviceName = service.toUtf8();
    const QByteArray userName = user.toUtf8();
    if (pam_start(serviceName.constData(), userName.constData(), &conv, &handle) != PAM_SUCCESS) {
        return false;
    }
    int status = pam_authenticate(handle, 0);
    if (status == PAM_SUCCESS) {
        // An expired or locked account fails here. An expired password (PAM_NEW_AUTHTOK_REQD)
        // fails too: changing it belongs to the login screen or passwd, not to this dialog.
        status = pam_acct_mgmt(handle, 0);
    }
    pam_end(handle, status);
    return status == PAM_SUCCESS;
}

} // namespace

PamDeviceAuthentication::PamDeviceAuthentication(std::shared_ptr<AuthenticationPrompter> prompter,
                                                 QStringList configDirectories)
    : prompter_(std::move(prompter)), configDirectories_(std::move(configDirectories)) {}

QStringList PamDeviceAuthentication::systemConfigDirectories() {
    return {QStringLiteral("/etc/pam.d"), QStringLiteral("/usr/lib/pam.d"),
            QStringLiteral("/usr/share/pam.d")};
}

QString PamDeviceAuthentication::serviceName(const QStringList& configDirectories) {
    for (const QString& directory : configDirectories) {
        if (QFileInfo(directory + QStringLiteral("/zemlar")).isFile()) {
            return QStringLiteral("zemlar");
        }
    }
    return QStringLiteral("login");
}

QString PamDeviceAuthentication::currentUser() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr) {
        return QString::fromLocal8Bit(entry->pw_name);
    }
    return {};
}

QCoro::Task<bool> PamDeviceAuthentication::authenticate(QString reason) {
    const QString user = currentUser();
    if (user.isEmpty() || QCoreApplication::instance() == nullptr) {
        co_return false;
    }
    auto prompter = prompter_;
    // The worker owns what it uses, so it may outlive an abandoned wait.
    auto attempt = std::make_shared<Attempt>();
    prompter->begin(reason, [weakAttempt = std::weak_ptr<Attempt>(attempt)] {
        if (const auto cancelled = weakAttempt.lock()) {
            cancelled->abandon();
        }
    });
    QFuture<bool> outcome = attempt->outcome();
    QThread* worker =
        QThread::create([attempt, service = serviceName(configDirectories_), user,
                         conversation = std::make_shared<Conversation>(prompter, attempt)] {
            const bool succeeded = runPam(service, user, *conversation);
            // Settled on the main thread, behind the messages the modules sent before.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [attempt, succeeded] { attempt->settle(succeeded); },
                Qt::QueuedConnection);
        });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    const bool succeeded = co_await outcome;
    prompter->end(succeeded);
    co_return succeeded;
}

} // namespace zemlar
