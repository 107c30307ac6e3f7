// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppEnvironment.hpp"
#include "Command.hpp"
#include "StoredAccounts.hpp"
#include "Terminal.hpp"

#include <OTPCore/AccountGrouping.hpp>
#include <OTPCore/OTPAlgorithm.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <nlohmann/json.hpp>

namespace zemlar::CommandLine {
namespace {

constexpr const char* json = "--json";

nlohmann::ordered_json described(const Account& account, const AccountSection& section) {
    return {
        {"id", account.id.uuidString()},
        {"issuer", account.issuer},
        {"name", account.name},
        {"group", section.group ? nlohmann::ordered_json(section.group->name) : nullptr},
        {"algorithm", OTPAlgorithms::rawValue(account.parameters.algorithm())},
        {"digits", account.parameters.digits()},
        {"period", account.parameters.period()},
    };
}

QStringList asJSON(const std::vector<AccountSection>& sections) {
    auto array = nlohmann::ordered_json::array();
    for (const auto& section : sections) {
        for (const auto& account : section.accounts) {
            array.push_back(described(account, section));
        }
    }
    return {QString::fromStdString(array.dump(2))};
}

/// Each group's name as the Accounts screen heads it, then its accounts' titles.
QStringList asText(const std::vector<AccountSection>& sections) {
    QStringList lines;
    for (const auto& section : sections) {
        if (section.accounts.empty()) {
            continue;
        }
        lines.append(section.group ? QString::fromStdString(section.group->name)
                                   : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No Group")));
        for (const auto& account : section.accounts) {
            lines.append(QStringLiteral("  ") +
                         QString::fromStdString(AccountTitle::make(account)));
        }
    }
    if (lines.isEmpty()) {
        lines.append(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No accounts yet")));
    }
    return lines;
}

QCoro::Task<int> run(Arguments arguments) {
    const auto stored = StoredAccounts::load(AppEnvironment::live());
    if (!stored) {
        Terminal::printErrors({stored.error()});
        co_return failure;
    }
    const auto sections = AccountGrouping::sections(stored->accounts, stored->groups);
    Terminal::print(arguments.options.contains(QLatin1String(json)) ? asJSON(sections)
                                                                    : asText(sections));
    co_return success;
}

} // namespace

const Command& listCommand() {
    static const Command command{
        .name = "list",
        .synopsis = "list [--json]",
        .summary = QT_TRANSLATE_NOOP(
            "Zemlar", "Lists the accounts in the Accounts screen's order, never their secrets."),
        .details = QT_TRANSLATE_NOOP(
            "Zemlar", "  --json    Print a JSON array of objects with the fields id, issuer, name, "
                      "group, algorithm, digits and period."),
        .options = {QLatin1String(json)},
        .minimumOperands = 0,
        .maximumOperands = 0,
        .run = run,
    };
    return command;
}

} // namespace zemlar::CommandLine
