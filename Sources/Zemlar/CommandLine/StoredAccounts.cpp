// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredAccounts.hpp"

#include <ZemlarScreens/Texts.hpp>

namespace zemlar::CommandLine {

Result<StoredAccounts, QString> StoredAccounts::load(const AppEnvironment& environment) {
    auto accounts = environment.accountStore->load();
    auto groups = environment.groupStore->load();
    if (!accounts || !groups) {
        return fail(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't read the account list")));
    }
    return StoredAccounts{.accounts = std::move(*accounts), .groups = std::move(*groups)};
}

} // namespace zemlar::CommandLine
