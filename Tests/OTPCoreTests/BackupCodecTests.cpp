// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestAccounts.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/Base64.hpp>
#include <OTPCore/Crypto.hpp>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace zemlar;
using namespace zemlar::BackupTesting;
using JSON = nlohmann::json;

namespace {

const Bytes key(32, 0xA5);
const Bytes salt = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const Bytes nonce = {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB};
const BackupHeader header = BackupHeader::make(salt, 600'000);

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

const std::string saltText = "AAECAwQFBgcICQoLDA0ODw==";
const std::string additionalData =
    "zemlar-backup\n1\nPBKDF2-HMAC-SHA256\n600000\n" + saltText + "\nAES-256-GCM";

// A whole file around a payload written out as text. AES-GCM and Base64 are pinned by their
// published vectors in BackupCryptoTests.
Bytes handSealed(const std::string& payloadText) {
    const std::string sealed = Base64::encode(
        *Crypto::AESGCM::seal(key, nonce, bytesOf(payloadText), bytesOf(additionalData)));
    return bytesOf(
        R"({"cipher": "AES-256-GCM", "format": "zemlar-backup", "kdf": {"iterations": 600000, )"
        R"("name": "PBKDF2-HMAC-SHA256", "salt": ")" +
        saltText + R"("}, "sealed": ")" + sealed + R"(", "version": 1})");
}

// A payload with one account whose members are given as JSON text.
std::string payloadWithAccount(const std::string& accountMembers) {
    return R"({"accounts": [{)" + accountMembers +
           R"(}], "exportedAt": "2025-03-02T10:00:00Z", "version": 1})";
}

const std::string minimalAccount =
    R"("createdAt": "2025-03-01T09:30:00Z", "id": "00000000-0000-0000-0000-000000000001", )"
    R"("issuer": "Example", "name": "alice", )"
    R"("parameters": {"algorithm": "SHA1", "digits": 6, "period": 30}, "secret": "SGVsbG8h3q2+7w==")";

Bytes changed(const Bytes& envelope, const std::function<void(JSON&)>& change) {
    JSON document = JSON::parse(envelope.begin(), envelope.end());
    change(document);
    return bytesOf(document.dump(2));
}

BackupPayload samplePayload() {
    Account first = account(1, "Example", "alice@example.com",
                            *OTPParameters::make(OTPAlgorithm::sha256, 8, 60));
    first.domains = {"example.com", "login.example.com"};
    first.groupID = id(90);
    first.pressesReturn = true;
    first.lastUsedAt = Date(1'750'000'000.0);
    first.useCount = 12;
    Account second = account(2, "", "plain");
    return BackupPayload::make(
        Date(1'740'907'800.0),
        {BackupAccount::make(first, Bytes{0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x21, 0xDE, 0xAD},
                             {"code-1", "code-2"}),
         BackupAccount::make(second, Bytes(20, 0x3F), {})},
        {AccountGroup{.id = id(90), .name = "Work"}});
}

Bytes sealedSample() {
    return *BackupCodec::seal(samplePayload(), key, header, nonce);
}

TEST(BackupCodecKnownAnswer, OpensAHandWrittenFile) {
    const std::string payloadText = R"({
        "accounts": [
            {"createdAt": "2025-03-01T09:30:00Z", "domains": ["example.com"],
             "groupID": "00000000-0000-0000-0000-000000000090",
             "id": "6f1c3a2e-0b7d-4c1e-9a55-2b8f7d1e4c3a", "issuer": "Ex\u00e4mple",
             "name": "alice", "parameters": {"algorithm": "SHA256", "digits": 8, "period": 60},
             "pressesReturn": true, "recoveryCodes": ["aaaa-bbbb", "cccc-dddd"],
             "secret": "SGVsbG8h3q2+7w==", "laterMember": {"ignored": true}}
        ],
        "exportedAt": "2025-03-02T10:00:00Z",
        "groups": [{"id": "00000000-0000-0000-0000-000000000090", "name": "Work"}],
        "version": 1
    })";
    const auto payload = BackupCodec::open(handSealed(payloadText), key);
    ASSERT_TRUE(payload.has_value()) << payload.error().describe();
    EXPECT_EQ(payload->exportedAt, Date(1'740'909'600.0));
    ASSERT_EQ(payload->accounts.size(), 1u);
    const BackupAccount& first = payload->accounts[0];
    EXPECT_EQ(first.id.uuidString(), "6F1C3A2E-0B7D-4C1E-9A55-2B8F7D1E4C3A");
    EXPECT_EQ(first.issuer, "Ex\xC3\xA4mple");
    EXPECT_EQ(first.parameters, *OTPParameters::make(OTPAlgorithm::sha256, 8, 60));
    EXPECT_EQ(first.secret, (Bytes{0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x21, 0xDE, 0xAD, 0xBE, 0xEF}));
    EXPECT_EQ(first.createdAt, Date(1'740'821'400.0));
    EXPECT_EQ(first.domains, std::vector<std::string>{"example.com"});
    EXPECT_EQ(first.groupID, id(90));
    EXPECT_EQ(first.pressesReturn, true);
    EXPECT_EQ(first.recoveryCodes, (std::vector<std::string>{"aaaa-bbbb", "cccc-dddd"}));
    EXPECT_EQ(payload->groups, (Groups{AccountGroup{.id = id(90), .name = "Work"}}));
}

// The header is authenticated by its fields, not by its text: reformatting changes no field.
TEST(BackupCodecSeal, RoundTripsExceptForFractionsOfASecond) {
    BackupPayload payload = samplePayload();
    const Bytes file = sealedSample();
    EXPECT_EQ(BackupCodec::open(file, key), payload);
    EXPECT_EQ(BackupCodec::open(bytesOf(JSON::parse(file.begin(), file.end()).dump()), key),
              payload);

    payload.exportedAt = Date(1'740'907'800.75);
    payload.accounts[0].createdAt = Date(1'740'821'400.5);
    EXPECT_EQ(BackupCodec::open(*BackupCodec::seal(payload, key, header, nonce), key),
              samplePayload());
}

// The key first, then the key derivation and the version.
TEST(BackupCodecSeal, RefusesBadKeysNoncesAndHeaders) {
    const auto seal = [](const Bytes& key, const BackupHeader& header, const Bytes& nonce) {
        return BackupCodec::seal(samplePayload(), key, header, nonce);
    };
    const BackupHeader low = BackupHeader::make(salt, 99'999);
    BackupHeader newer = header;
    newer.version = 2;
    EXPECT_EQ(seal(Bytes(31, 1), header, nonce), fail(BackupError::invalidKey()));
    EXPECT_EQ(seal(key, header, Bytes(11, 1)), fail(BackupError::invalidKey()));
    EXPECT_EQ(seal(Bytes(31, 1), low, nonce), fail(BackupError::invalidKey()));
    EXPECT_EQ(seal(key, low, nonce), fail(BackupError::unsupportedKDF()));
    EXPECT_EQ(seal(key, newer, nonce), fail(BackupError::unsupportedVersion(2)));
}

TEST(BackupCodecSeal, ReportsWhatCannotBeWritten) {
    BackupPayload payload = samplePayload();
    payload.accounts[1].issuer = "\xFF\xFE";
    EXPECT_EQ(BackupCodec::seal(payload, key, header, nonce), fail(BackupError::encodingFailed()));
    payload = samplePayload();
    payload.exportedAt = Date(std::nan(""));
    EXPECT_EQ(BackupCodec::seal(payload, key, header, nonce), fail(BackupError::encodingFailed()));
}

TEST(BackupCodecOpen, ChecksTheKeyBeforeTheFile) {
    EXPECT_EQ(BackupCodec::open(bytesOf("not json"), Bytes(31, 1)),
              fail(BackupError::invalidKey()));
    EXPECT_EQ(BackupCodec::open(sealedSample(), Bytes{}), fail(BackupError::invalidKey()));
    EXPECT_EQ(BackupCodec::open(sealedSample(), Bytes(32, 1)),
              fail(BackupError::authenticationFailed()));
}

TEST(BackupCodecProbe, RecognisesFormatAndVersionFirst) {
    const std::pair<const char*, BackupError> cases[] = {
        {"not json", BackupError::malformed()},
        {R"({"format": "zemlar-backup", "version": 1.0})", BackupError::malformed()},
        {R"({"format": "zemlar-backup", "version": 2})", BackupError::unsupportedVersion(2)},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(BackupCodec::header(bytesOf(text)), fail(error)) << text;
        EXPECT_EQ(BackupCodec::open(bytesOf(text), key), fail(error)) << text;
    }
}

using Change = std::function<void(JSON&)>;

// Sets members named by JSON pointers, or removes one.
Change set(std::initializer_list<std::pair<const char*, JSON>> members) {
    return [list = std::vector(members)](JSON& d) {
        for (const auto& [path, value] : list) {
            d[JSON::json_pointer(path)] = value;
        }
    };
}
Change erase(const char* path) {
    return [=](JSON& d) {
        const JSON::json_pointer pointer(path);
        d[pointer.parent_pointer()].erase(pointer.back());
    };
}

// Each row changes a good file; header() and open() refuse it alike, the version first, then the
// members, the key derivation and the cipher. (Malformed Base64 and numbers are refused where
// they are read.)
TEST(BackupCodecHeader, RefusesEnvelopesItCannotRead) {
    const Bytes file = sealedSample();
    const auto malformed = BackupError::malformed();
    const auto kdf = BackupError::unsupportedKDF();
    const auto cipher = BackupError::unsupportedCipher();
    const std::pair<Change, BackupError> cases[] = {
        {erase("/sealed"), malformed},
        {erase("/kdf/iterations"), malformed},
        {set({{"/kdf/iterations", 99'999}}), kdf},
        {set({{"/kdf/iterations", 10'000'001}}), kdf},
        {set({{"/kdf/salt", ""}}), kdf},
        {set({{"/kdf/name", "PBKDF2-HMAC-SHA1"}}), kdf},
        {set({{"/cipher", "AES-128-GCM"}}), cipher},
        {set({{"/cipher", "AES-128-GCM"}, {"/kdf/salt", ""}}), kdf},
        {set({{"/cipher", "AES-128-GCM"}, {"/format", "other"}}),
         BackupError::unsupportedFormat()}};
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        const Bytes broken = changed(file, cases[index].first);
        EXPECT_EQ(BackupCodec::header(broken), fail(cases[index].second)) << index;
        EXPECT_EQ(BackupCodec::open(broken, key), fail(cases[index].second)) << index;
    }
    for (const std::int64_t iterations : {100'000, 10'000'000}) {
        EXPECT_EQ(BackupCodec::header(changed(file, set({{"/kdf/iterations", iterations}}))),
                  BackupHeader::make(salt, iterations));
    }
    EXPECT_EQ(BackupCodec::header(file), header);
}

TEST(BackupCodecTamper, EveryChangedByteOfTheFileFails) {
    const BackupPayload small = BackupPayload::make(
        Date(1'740'907'800.0), {backupAccount(1, "A", "b", Bytes{1, 2, 3})}, {});
    const Bytes file = *BackupCodec::seal(small, key, header, nonce);
    ASSERT_EQ(BackupCodec::open(file, key), small);
    for (std::size_t index = 0; index < file.size(); ++index) {
        Bytes tampered = file;
        tampered[index] ^= 0x01;
        ASSERT_FALSE(BackupCodec::open(tampered, key).has_value()) << index;
    }
}

TEST(BackupCodecTamper, RefusesBoxesTooShortForANonceAndATag) {
    const Bytes file = sealedSample();
    for (std::size_t length : {0u, 28u}) {
        const Bytes broken =
            changed(file, [&](JSON& d) { d["sealed"] = Base64::encode(Bytes(length, 0x42)); });
        EXPECT_EQ(BackupCodec::open(broken, key), fail(BackupError::authenticationFailed()))
            << length;
        EXPECT_TRUE(BackupCodec::header(broken).has_value()) << length;
    }
}

TEST(BackupCodecPayload, ProbesTheVersionBeforeTheRest) {
    EXPECT_EQ(BackupCodec::open(handSealed(R"({"version": 2})"), key),
              fail(BackupError::unsupportedVersion(2)));
    for (const char* text :
         {"not json", R"({"version": "1"})", R"({"version": 1, "accounts": []})",
          R"({"version": 1, "accounts": {}, "exportedAt": "2025-03-02T10:00:00Z"})"}) {
        EXPECT_EQ(BackupCodec::open(handSealed(text), key), fail(BackupError::malformed())) << text;
    }
}

TEST(BackupCodecPayload, ReadsMissingGroupsAndNullMembersAsAbsent) {
    const auto payload = BackupCodec::open(
        handSealed(payloadWithAccount(minimalAccount + R"(, "domains": null, "groupID": null)")),
        key);
    ASSERT_TRUE(payload.has_value()) << payload.error().describe();
    EXPECT_EQ(payload->groups, std::nullopt);
    EXPECT_EQ(payload->accounts[0].domains, std::nullopt);
    EXPECT_EQ(payload->accounts[0].groupID, std::nullopt);
}

TEST(BackupCodecPayload, RefusesBadMembersAsMalformed) {
    // The refused forms of dates, Base64 and parameters are checked where those are read.
    const std::string cases[] = {
        minimalAccount + R"(, "id": "not-a-uuid")",
        minimalAccount + R"(, "secret": "SGVsbG8h3q2-7w==")",
        minimalAccount + R"(, "parameters": {"algorithm": "MD5", "digits": 6, "period": 30})",
        minimalAccount + R"(, "domains": [1])",
        minimalAccount + R"(, "groupID": "nope")",
        minimalAccount + R"(, "pressesReturn": "yes")",
        minimalAccount + R"(, "recoveryCodes": [null])",
    };
    for (const std::string& members : cases) {
        EXPECT_EQ(BackupCodec::open(handSealed(payloadWithAccount(members)), key),
                  fail(BackupError::malformed()))
            << members;
    }
    const std::string badGroups =
        R"({"accounts": [], "exportedAt": "2025-03-02T10:00:00Z", "groups": [{"id": "x", "name": "W"}], "version": 1})";
    EXPECT_EQ(BackupCodec::open(handSealed(badGroups), key), fail(BackupError::malformed()));
}

} // namespace
