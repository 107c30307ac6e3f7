// SPDX-License-Identifier: GPL-3.0-or-later
// Real exports of other apps, read in place: each gives the accounts expected.json lists for it.
#include <OTPCore/Account.hpp>
#include <OTPCore/Base32.hpp>
#include <OTPCore/ExportCostLimit.hpp>
#include <OTPCore/ExportedAccount.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <OTPCore/ImportParser.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

using JSON = nlohmann::json;
using namespace zemlar;

namespace {

const std::filesystem::path samples = ZEMLAR_EXPORT_SAMPLES;
const std::string wrongPassword = "not the password";

std::string contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

/// Why the content is refused; nothing when it is read or left to the link parser.
std::optional<ExportFailure> failure(std::string_view content, std::string_view password = {}) {
    const auto result = ExternalExports::read(content, password);
    return result && !result->has_value() ? std::optional(result->error()) : std::nullopt;
}

#define SKIP_WITHOUT_SAMPLES()                                                                     \
    if (!std::filesystem::is_directory(samples)) {                                                 \
        GTEST_SKIP() << "The export samples are absent: " << samples;                              \
    }

// Samples that are no export of an authenticator: the first app version's internal token store,
// a whole archive of a password vault, and one that holds no account (refused, below). The
// folder of an app we have no reader for is left out as a whole.
const std::set<std::string> notRead = {
    "freeotp/aegis__freeotp.xml", "proton/protonpass__PassExport.zip",
    "bitwarden/stratum__bitwarden.encrypted.accountrestricted.json"};

// One sample per reader that files its accounts under groups, folders or tags.
const std::map<std::string, std::vector<std::string>> groups = {
    {"aegis/aegis__aegis_plain_grouped_v2.json", {"group1", "", "group1"}},
    {"2fas/stratum__twofas.unencrypted.2fas", {"", "Group", "", "", "Group"}},
    {"andotp/stratum__andotp.unencrypted.json", {"", "Tag", "", "", ""}},
    {"bitwarden/stratum__bitwarden.encrypted.pbkdf2.json",
     {"My Folder", "My Folder", "", "", "", ""}},
    {"stratum/stratum__backup.unencrypted.authpro",
     {"", "", "", "", "Work", "Work", "Work", "", "Work", "", "", ""}},
};

// Samples no reader recognises: the link parser's.
const std::set<std::string> linkLists = {
    "aegis/protonpass__aegis-txt.txt", "uri/aegis__plain.txt", "uri/stratum__urilist.txt",
    "uri/stratum__googleauthenticator.txt", "ente/stratum__ente.unencrypted.txt"};

std::optional<OTPAlgorithm> algorithm(const JSON& account) {
    return OTPAlgorithms::fromRawValue(account.at("algorithm").get<std::string>());
}

/// What the import makes of the accounts the oracle lists: an entry for a TOTP one we can hold,
/// otherwise a skip with its reason. The link parser says "invalid" for all but counter-based
/// links, and gives untitled skips but for the accounts of a migration link.
ImportBatch expectedBatch(const JSON& accounts, bool isRecognised, bool isMigration) {
    ImportBatch batch;
    for (const JSON& account : accounts) {
        const auto type = account.at("type").get<std::string>();
        const auto issuer = account.at("issuer").get<std::string>();
        auto name = account.at("name").get<std::string>();
        // Our link rules read a label ":account" as an empty issuer and the account.
        if (issuer.empty() && name.starts_with(':')) {
            name.erase(0, 1);
        }
        std::optional<ImportSkipReason> reason;
        if (type == "hotp") {
            reason = ImportSkipReason::hotp;
        } else if (type != "totp") {
            reason = ImportSkipReason::unsupportedType;
        } else if (!algorithm(account) || !OTPParameters::isAllowedDigits(account.at("digits"))) {
            reason = ImportSkipReason::invalidParameters;
        }
        if (!reason) {
            batch.entries.emplace_back(
                issuer, name, *Base32::decode(account.at("secret").get<std::string>()),
                *OTPParameters::make(*algorithm(account), account.at("digits"),
                                     account.at("period")));
        } else {
            const bool hasReason = isRecognised || *reason == ImportSkipReason::hotp;
            batch.skipped.push_back(
                {isRecognised || isMigration ? AccountTitle::make(issuer, name) : "",
                 hasReason ? *reason : ImportSkipReason::invalid});
        }
    }
    return batch;
}

std::vector<std::string> groupsOf(const ImportBatch& batch) {
    std::vector<std::string> groups;
    for (const auto& entry : batch.entries) {
        groups.push_back(entry.group);
    }
    return groups;
}

} // namespace

// Every sample read once as the import reads a file, since some cost real memory and time. (The
// refusals of a missing or wrong password are checked on the encrypted twin below.)
TEST(ExportSamples, GiveTheirAccountsSkipsAndGroups) {
    SKIP_WITHOUT_SAMPLES();
    const auto oracle = JSON::parse(contents(samples / "expected.json")).at("files");
    std::size_t read = 0;
    for (const auto& [file, expected] : oracle.items()) {
        if (notRead.contains(file) || file.starts_with("authy/")) {
            continue;
        }
        SCOPED_TRACE(file);
        ++read;
        const auto content = contents(samples / file);
        const auto password = expected.at("password").is_string()
                                  ? expected.at("password").get<std::string>()
                                  : std::string();
        const auto result = ExternalExports::read(content, password);
        const bool isLinkList = linkLists.contains(file);
        ASSERT_EQ(result.has_value(), !isLinkList);
        ImportBatch got;
        if (result) {
            ASSERT_TRUE(result->has_value()) << ExportFailures::describe(result->error());
            got = **result;
        } else {
            got = ImportParser::parse(content);
        }
        if (groups.contains(file)) {
            EXPECT_EQ(groupsOf(got), groups.at(file));
        }
        for (auto& entry : got.entries) {
            entry.group.clear();
        }
        EXPECT_EQ(got, expectedBatch(expected.at("accounts"), !isLinkList,
                                     content.starts_with("otpauth-migration:")));
    }
    EXPECT_EQ(read, 61U);
}

// No sample of this kind exists; this one was encrypted from the plain twin with an independent
// implementation of the app's scheme, password "test".
TEST(ExportSamples, EncryptedProtonExportHoldsItsPlainTwin) {
    SKIP_WITHOUT_SAMPLES();
    const auto plain =
        ExternalExports::read(contents(samples / "proton/aegis__proton_authenticator.json"));
    const auto content = contents(ZEMLAR_TEST_DATA "/proton_authenticator_encrypted.json");
    ASSERT_TRUE(plain && plain->has_value());
    EXPECT_EQ(ExternalExports::read(content, "test"), *plain);
    EXPECT_EQ(failure(content, wrongPassword), ExportFailure::wrongPassword);
    EXPECT_EQ(failure(content), ExportFailure::passwordNeeded);
}

TEST(ExportSamples, RefuseWhatTheyCannotOpenAsAWhole) {
    SKIP_WITHOUT_SAMPLES();
    auto vault = JSON::parse(contents(samples / "aegis/aegis__aegis_plain.json"));
    vault["db"]["entries"].push_back(42);
    EXPECT_EQ(failure(vault.dump()), ExportFailure::damaged);
    auto encrypted = JSON::parse(contents(samples / "aegis/aegis__aegis_encrypted.json"));
    encrypted["header"]["slots"][0]["n"] = std::int64_t{1} << 40;
    EXPECT_EQ(failure(encrypted.dump(), "test"), ExportFailure::tooCostly);
    EXPECT_EQ(
        failure(contents(samples / "bitwarden/stratum__bitwarden.encrypted.accountrestricted.json"),
                wrongPassword),
        ExportFailure::restricted);

    const auto before = ExternalExports::costLimit();
    ExternalExports::limitCosts({.memoryBytes = 8 * 1024, .iterations = before.iterations});
    const auto costlyRead =
        failure(contents(samples / "ente/protonpass__encrypted.lowcomplexity.txt"), "password");
    ExternalExports::limitCosts(before);
    EXPECT_EQ(costlyRead, ExportFailure::tooCostly);
}

TEST(ExportSamples, CSVFieldsMayHoldQuotesCommasAndLineBreaks) {
    const std::string csv = "folder,name,notes,login_username,login_totp\r\n"
                            "\"Work, main\",\"Acme \"\"HQ\"\"\",\"two\nlines\",alice,"
                            "JBSWY3DPEHPK3PXP\r\n";
    const auto result = ExternalExports::read(csv);
    ASSERT_TRUE(result && result->has_value());
    ASSERT_EQ((*result)->entries.size(), 1U);
    EXPECT_EQ((*result)->entries[0].issuer, "Acme \"HQ\"");
    EXPECT_EQ((*result)->entries[0].group, "Work, main");
    EXPECT_EQ(failure("name,login_totp\n\"unterminated,x\n"), ExportFailure::damaged);
}

// Counter-based, other kinds and bad parameters are among the samples' skips above.
TEST(ExportedAccounts, WithADamagedSecretAreSkippedAsInvalid) {
    ExportedAccount account;
    account.type = "totp";
    account.name = "bad";
    account.secret = "not base32!";
    ImportBatch batch;
    ExportedAccounts::add(batch, account);
    EXPECT_EQ(batch, (ImportBatch{{}, {{"bad", ImportSkipReason::invalid}}, {}}));
}
