// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppEnvironment.hpp"
#include "Command.hpp"
#include "PanelModel.hpp"
#include "PanelTexts.hpp"
#include "StoredAccounts.hpp"
#include "Terminal.hpp"
#include "TerminalPrompter.hpp"

#include <OTPCore/AccountSearch.hpp>
#include <OTPCore/Crypto.hpp>
#include <OTPCore/FreshCode.hpp>
#include <OTPCore/TOTP.hpp>
#include <QSettings>
#include <ZemlarKit/AccountFlows.hpp>
#include <ZemlarKit/PamDeviceAuthentication.hpp>
#include <ZemlarKit/PreciseTimer.hpp>
#include <ZemlarScreens/SessionLock.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar::CommandLine {
namespace {

bool passwordLockOn() {
    return QSettings(QStringLiteral("Zemlar"), QStringLiteral("Zemlar"))
        .value(QLatin1String(SessionLock::settingsKey), false)
        .toBool();
}

/// With the password lock on, codes are shown only after the user's password.
QCoro::Task<bool> unlock() {
    if (!passwordLockOn()) {
        co_return true;
    }
    PamDeviceAuthentication authentication(std::make_shared<TerminalPrompter>());
    QCoro::Task<bool> authenticating = authentication.authenticate(
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "show your two-factor codes")));
    const bool unlocked = co_await authenticating;
    co_return unlocked;
}

/// The first account the panel would show for the query; the failure's text when none.
Result<Account, QString> bestMatch(const QString& query) {
    const auto stored = StoredAccounts::load(AppEnvironment::live());
    if (!stored) {
        return fail(stored.error());
    }
    if (stored->accounts.empty()) {
        return fail(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No accounts yet")));
    }
    const auto ranking =
        AccountSearch::rank(stored->accounts, query.toStdString(), PanelModel::systemClock()(),
                            std::nullopt, stored->groups);
    if (ranking.empty()) {
        return fail(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Nothing found")));
    }
    return stored->accounts.at(ranking.front());
}

/// Waits while the current code has under the fresh-code minimum left, saying so; gives the
/// moment to compute the code for.
QCoro::Task<Date> freshMoment(std::int64_t period) {
    for (;;) {
        const Date now = PanelModel::systemClock()();
        const double delay = FreshCode::delay(now, period);
        if (delay <= 0) {
            co_return now;
        }
        const Date fresh(now.secondsSince1970() + delay);
        Terminal::printErrors({Texts::format(
            QT_TRANSLATE_NOOP("Zemlar", "The code is about to expire, a new one in %lld s"),
            {QString::number(PanelTexts::secondsUntil(fresh, now))})});
        auto waiting = PreciseTimer::sleepFor(std::chrono::duration<double>(delay));
        co_await waiting;
    }
}

QCoro::Task<int> run(Arguments arguments) {
    QCoro::Task<bool> unlocking = unlock();
    const bool unlocked = co_await unlocking;
    if (!unlocked) {
        Terminal::printErrors(
            {Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Authentication failed: no code shown"))});
        co_return failure;
    }
    const auto account = bestMatch(arguments.operands.join(QLatin1Char(' ')));
    if (!account) {
        Terminal::printErrors({account.error()});
        co_return failure;
    }
    auto secret = AppEnvironment::live().secretStore->read(account->id);
    if (!secret) {
        Terminal::printErrors({Texts::text(
            std::string(AccountFlows::userText(AccountFlowError::secrets(secret.error())))
                .c_str())});
        co_return failure;
    }
    const Crypto::WipedBytes key(std::move(*secret));
    QCoro::Task<Date> waiting = freshMoment(account->parameters.period());
    const Date moment = co_await waiting;
    const Crypto::WipedText code(TOTP::code(key.value(), moment, account->parameters));
    Terminal::print({QString::fromStdString(code.value())});
    co_return success;
}

} // namespace

const Command& codeCommand() {
    static const Command command{
        .name = "code",
        .synopsis = "code QUERY",
        .summary = QT_TRANSLATE_NOOP(
            "Zemlar", "Prints the current code of the account the search panel puts first for "
                      "QUERY; waits for a fresh code when the current one is about to expire."),
        .details = "",
        .options = {},
        .minimumOperands = 1,
        .maximumOperands = -1,
        .run = run,
    };
    return command;
}

} // namespace zemlar::CommandLine
