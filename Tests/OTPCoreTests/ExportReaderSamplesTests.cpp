// SPDX-License-Identifier: GPL-3.0-or-later
// Real exports of other apps: each gives the accounts listed for it in expected.json.
#include <OTPCore/Account.hpp>
#include <OTPCore/Base32.hpp>
#include <OTPCore/ExportCostLimit.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <OTPCore/ImportParser.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

using namespace zemlar;
using nlohmann::json;

namespace {

const std::filesystem::path samples = ZEMLAR_EXPORT_SAMPLES;
const std::string wrongPassword = "not the password";

std::string contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

const json& expectations() {
    static const json files = json::parse(contents(samples / "expected.json")).at("files");
    return files;
}

// Every sample of these apps, read as the import reads a file.
struct Sample {
    std::string file;
    std::string password;
    json accounts;
    bool isRecognised = false;
    ImportBatch batch;
};

std::vector<std::string> sampleFiles() {
    std::vector<std::string> files;
    for (const auto& [file, expected] : expectations().items()) {
        const std::string folder = file.substr(0, file.find('/'));
        if ((folder == "bitwarden" || folder == "ente" || folder == "proton" ||
             folder == "stratum") &&
            !file.ends_with(".zip") && !expected.at("accounts").empty()) {
            files.push_back(file);
        }
    }
    return files;
}

Sample readSample(const std::string& file) {
    const json& expected = expectations().at(file);
    Sample sample;
    sample.file = file;
    sample.password =
        expected["password"].is_string() ? expected["password"].get<std::string>() : std::string{};
    sample.accounts = expected.at("accounts");
    const std::string content = contents(samples / file);
    auto result = ExternalExports::read(content, sample.password);
    sample.isRecognised = result.has_value();
    if (result) {
        EXPECT_TRUE(result->has_value())
            << file << ": " << ExportFailures::describe(result->error());
        sample.batch = result->has_value() ? std::move(**result) : ImportBatch{};
    } else {
        sample.batch = ImportParser::parse(content);
    }
    return sample;
}

std::optional<OTPAlgorithm> algorithm(const json& account) {
    return OTPAlgorithms::fromRawValue(account.at("algorithm").get<std::string>());
}

// Why an account the app keeps would not come in; nothing when it does. The link parser, which
// reads the plain link lists, says "invalid" for all but counter-based links.
std::optional<ImportSkipReason> skipReason(const json& account, bool isRecognised) {
    const std::string type = account.at("type");
    std::optional<ImportSkipReason> reason;
    if (type == "hotp") {
        return ImportSkipReason::hotp;
    }
    if (type != "totp") {
        reason = ImportSkipReason::unsupportedType;
    } else if (!algorithm(account) || !OTPParameters::isAllowedDigits(account.at("digits"))) {
        reason = ImportSkipReason::invalidParameters;
    }
    return reason && !isRecognised ? ImportSkipReason::invalid : reason;
}

void expectAccounts(const Sample& sample) {
    SCOPED_TRACE(sample.file);
    std::size_t entry = 0;
    std::size_t skip = 0;
    for (const json& account : sample.accounts) {
        const std::string issuer = account.at("issuer");
        const std::string name = account.at("name");
        if (const auto reason = skipReason(account, sample.isRecognised)) {
            ASSERT_LT(skip, sample.batch.skipped.size()) << issuer << " " << name;
            const ImportSkip expected{sample.isRecognised ? AccountTitle::make(issuer, name) : "",
                                      *reason};
            EXPECT_EQ(sample.batch.skipped[skip++], expected);
            continue;
        }
        ASSERT_LT(entry, sample.batch.entries.size()) << issuer << " " << name;
        const OTPAuthEntry& got = sample.batch.entries[entry++];
        EXPECT_EQ(got.issuer, issuer);
        EXPECT_EQ(got.name, name);
        EXPECT_EQ(got.secret, Base32::decode(account.at("secret").get<std::string>()));
        EXPECT_EQ(got.parameters, OTPParameters::make(*algorithm(account), account.at("digits"),
                                                      account.at("period")));
    }
    EXPECT_EQ(entry, sample.batch.entries.size());
    EXPECT_EQ(skip, sample.batch.skipped.size());
}

std::string groupOf(const ImportBatch& batch, std::string_view issuer) {
    for (const auto& entry : batch.entries) {
        if (entry.issuer == issuer) {
            return entry.group;
        }
    }
    return "(none)";
}

} // namespace

// One pass over every sample: the Argon2id ones cost real memory and time, so each is opened
// once here and the wrong passwords go to the cheap samples below.
TEST(ExportReaderSamples, GiveTheListedAccountsWithTheirGroups) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    std::map<std::string, Sample> read;
    for (const std::string& file : sampleFiles()) {
        Sample sample = readSample(file);
        expectAccounts(sample);
        read.emplace(file, std::move(sample));
    }
    EXPECT_EQ(read.size(), 23U);
    EXPECT_EQ(groupOf(read.at("bitwarden/stratum__bitwarden.encrypted.pbkdf2.json").batch, "Long"),
              "My Folder");
    EXPECT_EQ(groupOf(read.at("stratum/stratum__backup.unencrypted.authpro").batch, "Amazon"), "");
}

TEST(ExportReaderSamples, EncryptedOnesRefuseAWrongOrMissingPassword) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    for (const std::string file :
         {"bitwarden/stratum__bitwarden.encrypted.pbkdf2.json",
          "bitwarden/stratum__bitwarden.encrypted.argon2id.json",
          "ente/protonpass__encrypted.lowcomplexity.txt", "stratum/aegis__stratum_encrypted.bin",
          "stratum/aegis__stratum_encrypted_legacy.bin", "stratum/stratum__backup.legacy.authpro",
          ZEMLAR_TEST_DATA "/proton_authenticator_encrypted.json"}) {
        SCOPED_TRACE(file);
        const std::string content = contents(samples / file);
        const auto wrong = ExternalExports::read(content, wrongPassword);
        ASSERT_TRUE(wrong);
        EXPECT_EQ(*wrong, fail(ExportFailure::wrongPassword));
        EXPECT_EQ(ExternalExports::read(content), fail(ExportFailure::passwordNeeded));
    }
}

TEST(ExportReaderSamples, RefuseWhatTheyCannotOpen) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto restricted = ExternalExports::read(
        contents(samples / "bitwarden/stratum__bitwarden.encrypted.accountrestricted.json"),
        wrongPassword);
    ASSERT_TRUE(restricted);
    EXPECT_EQ(*restricted, fail(ExportFailure::restricted));

    const auto before = ExternalExports::costLimit();
    ExternalExports::limitCosts({.memoryBytes = 8 * 1024, .iterations = before.iterations});
    const auto costly = ExternalExports::read(
        contents(samples / "ente/protonpass__encrypted.lowcomplexity.txt"), "password");
    ExternalExports::limitCosts(before);
    ASSERT_TRUE(costly);
    EXPECT_EQ(*costly, fail(ExportFailure::tooCostly));
}

// No sample of this kind exists; this one was encrypted from the plain twin with an independent
// implementation of the app's scheme, password "test".
TEST(ExportReaderSamples, EncryptedProtonExportHoldsItsPlainTwin) {
    if (!std::filesystem::is_directory(ZEMLAR_EXPORT_SAMPLES)) {
        GTEST_SKIP() << "The export samples are absent: " << ZEMLAR_EXPORT_SAMPLES;
    }
    const auto plain =
        ExternalExports::read(contents(samples / "proton/aegis__proton_authenticator.json"));
    const auto encrypted = ExternalExports::read(
        contents(ZEMLAR_TEST_DATA "/proton_authenticator_encrypted.json"), "test");
    ASSERT_TRUE(plain && encrypted && plain->has_value());
    EXPECT_EQ(*encrypted, *plain);
    EXPECT_EQ((*plain)->entries.size(), 3U);
}

TEST(ExportReaderSamples, CSVFieldsMayHoldQuotesCommasAndLineBreaks) {
    const std::string csv = "folder,name,notes,login_username,login_totp\r\n"
                            "\"Work, main\",\"Acme \"\"HQ\"\"\",\"two\nlines\",alice,"
                            "JBSWY3DPEHPK3PXP\r\n";
    const auto result = ExternalExports::read(csv);
    ASSERT_TRUE(result && result->has_value());
    ASSERT_EQ((*result)->entries.size(), 1U);
    EXPECT_EQ((*result)->entries[0].issuer, "Acme \"HQ\"");
    EXPECT_EQ((*result)->entries[0].name, "alice");
    EXPECT_EQ((*result)->entries[0].group, "Work, main");
    EXPECT_EQ(ExternalExports::read("name,login_totp\n\"unterminated,x\n"),
              fail(ExportFailure::damaged));
}

TEST(ExportReaderSamples, EnteTextTakesFormEncodedIssuersAndTheFirstTagAsGroup) {
    const auto result =
        ExternalExports::read("otpauth://totp/Acme:alice?secret=JBSWY3DPEHPK3PXP&issuer=Acme+Corp"
                              "&codeDisplay=%7B%22tags%22%3A%5B%22Work%22%2C%22Home%22%5D%7D\n");
    ASSERT_TRUE(result && result->has_value());
    ASSERT_EQ((*result)->entries.size(), 1U);
    EXPECT_EQ((*result)->entries[0].issuer, "Acme Corp");
    EXPECT_EQ((*result)->entries[0].group, "Work");
}
