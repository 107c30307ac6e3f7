// SPDX-License-Identifier: GPL-3.0-or-later
// Real exports of other apps, read in place: each gives the accounts expected.json lists for it.
#include <OTPCore/Account.hpp>
#include <OTPCore/Base32.hpp>
#include <OTPCore/ExportCostLimit.hpp>
#include <OTPCore/ExportedAccount.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <OTPCore/ImportParser.hpp>
#include <OTPCore/OTPAuthURI.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
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

// Each app's folder: how many of its samples are read here, those left out, and a sample whose
// entries' groups are checked.
struct App {
    std::string folder;
    std::size_t read;
    std::set<std::string> notRead;
    std::string grouped;
    std::vector<std::string> groups;
};

const App apps[] = {
    {"aegis", 8, {}, "aegis__aegis_plain_grouped_v2.json", {"group1", "", "group1"}},
    {"2fas", 13, {}, "stratum__twofas.unencrypted.2fas", {"", "Group", "", "", "Group"}},
    {"andotp", 7, {}, "stratum__andotp.unencrypted.json", {"", "Tag", "", "", ""}},
    // The first app version's internal token store, which is no export.
    {"freeotp", 5, {"aegis__freeotp.xml"}, "", {}},
    {"lastpass", 2, {}, "", {}},
    // Holds no account: refused, below.
    {"bitwarden",
     8,
     {"stratum__bitwarden.encrypted.accountrestricted.json"},
     "stratum__bitwarden.encrypted.pbkdf2.json",
     {"My Folder", "My Folder", "", "", "", ""}},
    {"ente", 8, {}, "", {}},
    // A whole archive of the app's vault, not an export of the authenticator.
    {"proton", 2, {"protonpass__PassExport.zip"}, "", {}},
    {"stratum",
     5,
     {},
     "stratum__backup.unencrypted.authpro",
     {"", "", "", "", "Work", "Work", "Work", "", "Work", "", "", ""}},
    {"uri", 3, {}, "", {}},
};

// Samples no reader recognises: the link parser's.
const std::set<std::string> linkLists = {
    "aegis/protonpass__aegis-txt.txt", "uri/aegis__plain.txt", "uri/stratum__urilist.txt",
    "uri/stratum__googleauthenticator.txt", "ente/stratum__ente.unencrypted.txt"};

// Its Argon2id parameters cost seconds: a wrong password is tried on the cheaper samples only.
const std::set<std::string> costly = {"ente/protonpass__encrypted.nominalcomplexity.txt"};

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

ExportedAccount exported(std::string type, std::string issuer, std::string name,
                         std::string secret) {
    ExportedAccount account;
    account.type = std::move(type);
    account.issuer = std::move(issuer);
    account.name = std::move(name);
    account.secret = std::move(secret);
    return account;
}

} // namespace

// Every sample read once as the import reads a file, since some cost real memory and time. An
// encrypted one also asks for its password and refuses a wrong one.
TEST(ExportSamples, GiveTheirAccountsSkipsAndGroups) {
    SKIP_WITHOUT_SAMPLES();
    const auto oracle = JSON::parse(contents(samples / "expected.json")).at("files");
    for (const App& app : apps) {
        std::size_t read = 0;
        for (const auto& [file, expected] : oracle.items()) {
            const auto name = std::filesystem::path(file).filename().string();
            if (!file.starts_with(app.folder + "/") || app.notRead.contains(name)) {
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
            if (name == app.grouped) {
                EXPECT_EQ(groupsOf(got), app.groups);
            }
            for (auto& entry : got.entries) {
                entry.group.clear();
            }
            EXPECT_EQ(got, expectedBatch(expected.at("accounts"), !isLinkList,
                                         content.starts_with("otpauth-migration:")));
            if (!password.empty()) {
                EXPECT_EQ(failure(content), ExportFailure::passwordNeeded);
                if (!costly.contains(file)) {
                    EXPECT_EQ(failure(content, wrongPassword), ExportFailure::wrongPassword);
                }
            }
        }
        EXPECT_EQ(read, app.read) << app.folder;
    }
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
    EXPECT_EQ((*plain)->entries.size(), 3U);
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

TEST(ExportSamples, LeaveOtherContentToTheLinkParser) {
    for (const char* content : {"", "otpauth://totp/A?secret=JBSWY3DPEHPK3PXP", "{}", "[1, 2]",
                                "\x89PNG\r\n\x1a\n binary image data that is long enough"}) {
        EXPECT_EQ(ExternalExports::recognise(content), nullptr) << content;
    }
}

TEST(ExportSamples, CSVFieldsMayHoldQuotesCommasAndLineBreaks) {
    const std::string csv = "folder,name,notes,login_username,login_totp\r\n"
                            "\"Work, main\",\"Acme \"\"HQ\"\"\",\"two\nlines\",alice,"
                            "JBSWY3DPEHPK3PXP\r\n";
    const auto result = ExternalExports::read(csv);
    ASSERT_TRUE(result && result->has_value());
    ASSERT_EQ((*result)->entries.size(), 1U);
    EXPECT_EQ((*result)->entries[0].issuer, "Acme \"HQ\"");
    EXPECT_EQ((*result)->entries[0].name, "alice");
    EXPECT_EQ((*result)->entries[0].group, "Work, main");
    EXPECT_EQ(failure("name,login_totp\n\"unterminated,x\n"), ExportFailure::damaged);
}

TEST(ExportSamples, EnteTextTakesFormEncodedIssuersAndTheFirstTagAsGroup) {
    const auto result =
        ExternalExports::read("otpauth://totp/Acme:alice?secret=JBSWY3DPEHPK3PXP&issuer=Acme+Corp"
                              "&codeDisplay=%7B%22tags%22%3A%5B%22Work%22%2C%22Home%22%5D%7D\n");
    ASSERT_TRUE(result && result->has_value());
    ASSERT_EQ((*result)->entries.size(), 1U);
    EXPECT_EQ((*result)->entries[0].issuer, "Acme Corp");
    EXPECT_EQ((*result)->entries[0].group, "Work");
}

// The accounts every reader passes on.
TEST(ExportedAccounts, BecomeTheEntryTheirLinkWouldGive) {
    auto account = exported("TOTP", "Ac me: & Co", "alice@example.com?x=1#y", "JBSWY3DPEHPK3PXP");
    account.algorithm = "sha256";
    account.digits = "8";
    account.period = "60";
    account.group = "Work";
    ImportBatch batch;
    ExportedAccounts::add(batch, account);

    auto expected =
        OTPAuthURI::parse("otpauth://totp/Ac%20me%3A%20%26%20Co:alice%40example.com%3Fx%3D1%23y"
                          "?secret=JBSWY3DPEHPK3PXP&issuer=Ac%20me%3A%20%26%20Co"
                          "&algorithm=SHA256&digits=8&period=60");
    ASSERT_TRUE(expected);
    expected->group = "Work";
    EXPECT_EQ(batch, (ImportBatch{{*expected}, {}, {}}));
}

// Counter-based, other kinds and bad parameters are among the samples' skips above.
TEST(ExportedAccounts, WithADamagedSecretAreSkippedAsInvalid) {
    ImportBatch batch;
    ExportedAccounts::add(batch, exported("totp", "", "bad", "not base32!"));
    EXPECT_EQ(batch, (ImportBatch{{}, {{"bad", ImportSkipReason::invalid}}, {}}));
}
