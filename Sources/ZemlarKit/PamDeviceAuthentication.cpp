// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/PamDeviceAuthentication.hpp"

#include "OTPCore/Crypto.hpp"
#include "ZemlarKit/SecretText.hpp"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFuture>
#include <QPromise>
#include <QThread>
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

/// Carries the questions of PAM, asked on the worker thread, over to the prompter on the main
/// thread, and waits for the answers. The prompter is only ever held weakly here: the worker
/// must never own its last reference, since a widget may only be destroyed on the main thread.
/// A prompter that is gone answers nothing.
class Conversation {
public:
    explicit Conversation(std::weak_ptr<AuthenticationPrompter> prompter)
        : prompter_(std::move(prompter)) {}

    std::optional<QString> ask(const QString& prompt, bool echo) {
        std::optional<QString> answer;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                if (const auto prompter = prompter_.lock()) {
                    answer = prompter->askSecret(prompt, echo);
                }
            },
            Qt::BlockingQueuedConnection);
        return answer;
    }

    void show(const QString& text, bool isError) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [weakPrompter = prompter_, text, isError] {
                if (const auto prompter = weakPrompter.lock()) {
                    prompter->showMessage(text, isError);
                }
            },
            Qt::QueuedConnection);
    }

private:
    std::weak_ptr<AuthenticationPrompter> prompter_;
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
    const int status = pam_authenticate(handle, 0);
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
    prompter->begin(reason);
    // The worker owns what it uses, so it may outlive an abandoned wait.
    auto promise = std::make_shared<QPromise<bool>>();
    QFuture<bool> outcome = promise->future();
    promise->start();
    QThread* worker = QThread::create([promise, service = serviceName(configDirectories_), user,
                                       conversation = std::make_shared<Conversation>(prompter)] {
        const bool succeeded = runPam(service, user, *conversation);
        // Finished on the main thread, behind the messages the modules sent before.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [promise, succeeded] {
                promise->addResult(succeeded);
                promise->finish();
            },
            Qt::QueuedConnection);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    const bool succeeded = co_await outcome;
    prompter->end(succeeded);
    co_return succeeded;
}

} // namespace zemlar
