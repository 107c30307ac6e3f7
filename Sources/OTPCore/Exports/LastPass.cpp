// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "Readers.hpp"

#include <map>

// {"accounts": [...], "folders": [{id, name}], ...}; every account is a TOTP one.
namespace zemlar::ExternalExports::LastPass {
namespace {

using namespace ExportReading;

/// Every export has "Other accounts" and "Favorites" (0 and 1): not folders of the user's.
constexpr std::int64_t firstUserFolder = 2;

std::map<std::int64_t, std::string> folderNames(const JSON& document) {
    std::map<std::int64_t, std::string> names;
    for (const auto& folder : array(document, "folders")) {
        if (const auto id = JSONCoding::integer(folder, "id"); id && *id >= firstUserFolder) {
            names.emplace(*id, text(folder, "name"));
        }
    }
    return names;
}

std::string folderOf(const JSON& account, const std::map<std::int64_t, std::string>& names) {
    const JSON* folder = member(account, "folderData");
    const auto id = folder == nullptr ? std::nullopt : JSONCoding::integer(*folder, "folderId");
    const auto found = id ? names.find(*id) : names.end();
    return found == names.end() ? std::string() : found->second;
}

bool isAccount(const JSON& account) {
    return member(account, "issuerName") != nullptr && member(account, "secret") != nullptr;
}

} // namespace

bool recognises(std::string_view content) {
    return isJSONWhere(content, [](const JSON& document) {
        const auto& list = array(document, "accounts");
        return !list.empty() && isAccount(list.front()) && member(document, "folders") != nullptr;
    });
}

Outcome read(std::string_view content, std::string_view) {
    return readJSON(content, [](const JSON& document) {
        const auto folders = folderNames(document);
        return accounts(array(document, "accounts"),
                        [&](const JSON& entry) -> std::optional<ExportedAccount> {
                            if (!isAccount(entry)) {
                                return std::nullopt;
                            }
                            ExportedAccount account;
                            account.issuer = text(entry, "issuerName");
                            account.name = text(entry, "userName");
                            account.secret = text(entry, "secret");
                            account.algorithm = text(entry, "algorithm");
                            account.digits = text(entry, "digits");
                            account.period = text(entry, "timeStep");
                            account.group = folderOf(entry, folders);
                            return account;
                        });
    });
}

} // namespace zemlar::ExternalExports::LastPass
