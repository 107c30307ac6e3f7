// SPDX-License-Identifier: GPL-3.0-or-later
// The primitives under the backup file: AES-256-GCM, PBKDF2-HMAC-SHA256 and Base64, checked
// against published vectors; then the key derivation and the passphrase rules.
#include "MigrationPayload.hpp"

#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/BackupPassphrase.hpp>
#include <OTPCore/Base64.hpp>
#include <OTPCore/Crypto.hpp>
#include <OTPCore/JSONCoding.hpp>
#include <OTPCore/Unicode.hpp>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <sstream>
#include <tuple>

using namespace zemlar;

namespace {

Bytes fromHex(std::string_view hex) {
    Bytes bytes;
    for (std::size_t index = 0; index + 1 < hex.size(); index += 2) {
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(index, 2)), nullptr, 16)));
    }
    return bytes;
}

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Test cases 13 and 16 of the published GCM test vectors (McGrew and Viega), 256-bit key.
TEST(AESGCM, MatchesThePublishedVectors) {
    const Bytes zeroKey(32, 0);
    const Bytes zeroNonce(12, 0);
    EXPECT_EQ(Crypto::AESGCM::seal(zeroKey, zeroNonce, Bytes{}, Bytes{}),
              fromHex("000000000000000000000000"
                      "530f8afbc74536b9a963b4f1c4cb738b"));

    const Bytes key = fromHex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
    const Bytes nonce = fromHex("cafebabefacedbaddecaf888");
    const Bytes plaintext = fromHex(
        "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a721c3c0c95956809532fcf0e24"
        "49a6b525b16aedf5aa0de657ba637b39");
    const Bytes additional = fromHex("feedfacedeadbeeffeedfacedeadbeefabaddad2");
    const Bytes expected = fromHex(
        "cafebabefacedbaddecaf888"
        "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa8cb08e48590dbb3da7b08b10"
        "56828838c5f61e6393ba7a0abcc9f662"
        "76fc6ece0f4e1768cddf8853bb2d551b");
    EXPECT_EQ(Crypto::AESGCM::seal(key, nonce, plaintext, additional), expected);
    EXPECT_EQ(Crypto::AESGCM::open(key, expected, additional), plaintext);
}

TEST(AESGCM, RefusesWrongLengthsAndEveryChange) {
    const Bytes key(32, 7);
    const Bytes nonce(12, 9);
    const Bytes additional = bytesOf("header");
    const Bytes sealed = *Crypto::AESGCM::seal(key, nonce, bytesOf("secret text"), additional);
    EXPECT_EQ(Crypto::AESGCM::seal(Bytes(31, 7), nonce, sealed, additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::seal(key, Bytes(11, 9), sealed, additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::open(key, sealed, additional), bytesOf("secret text"));
    EXPECT_EQ(Crypto::AESGCM::open(key, Bytes(27, 0), additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::open(Bytes(31, 7), sealed, additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::open(key, sealed, bytesOf("headeR")), std::nullopt);
    for (std::size_t index = 0; index < sealed.size(); ++index) {
        Bytes changed = sealed;
        changed[index] ^= 0x01;
        EXPECT_EQ(Crypto::AESGCM::open(key, changed, additional), std::nullopt) << index;
    }
}

struct PBKDF2Vector {
    std::string password;
    std::string salt;
    std::uint64_t iterations;
    Bytes key;
};

// The backticked text of a table cell, with "\0" standing for a NUL byte.
std::string cellText(std::string cell) {
    const auto first = cell.find('`');
    const auto last = cell.rfind('`');
    std::string text = cell.substr(first + 1, last - first - 1);
    for (std::size_t at; (at = text.find("\\0")) != std::string::npos;) {
        text.replace(at, 2, std::string(1, '\0'));
    }
    return text;
}

std::vector<PBKDF2Vector> pbkdf2Vectors(const std::filesystem::path& file) {
    std::ifstream input(file);
    std::vector<PBKDF2Vector> vectors;
    bool inSection = false;
    for (std::string line; std::getline(input, line);) {
        if (line.starts_with("## ")) {
            inSection = line.find("PBKDF2-HMAC-SHA256") != std::string::npos;
            continue;
        }
        if (!inSection || !line.starts_with("| `")) {
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');) {
            cells.push_back(cell);
        }
        if (cells.size() < 5) {
            continue;
        }
        vectors.push_back({cellText(cells[0]), cellText(cells[1]), std::stoull(cells[2]),
                           fromHex(cells[4].substr(cells[4].find_first_not_of(' ')))});
    }
    return vectors;
}

TEST(Wiping, GuardsWipeTheirSourceAndDocumentsLoseEveryValue) {
    std::string shortText = "123456"; // kept inline by the string: a move would leave it there
    {
        const Crypto::WipedText wiped(std::move(shortText));
        EXPECT_EQ(wiped.value(), "123456");
        EXPECT_EQ(shortText, std::string(6, '\0'));
    }
    JSONCoding::JSON document = JSONCoding::JSON::parse(
        R"({"secrets":{"A":"c2VjcmV0"},"backup":{"key":[7,8]},"recovery":{"A":["code"]}})");
    JSONCoding::wipe(document);
    EXPECT_EQ(document["secrets"]["A"], std::string(8, '\0'));
    EXPECT_EQ(document["backup"]["key"], JSONCoding::JSON::parse("[0,0]"));
    EXPECT_EQ(document["recovery"]["A"][0], std::string(4, '\0'));
}

TEST(PBKDF2, MatchesThePublishedVectors) {
    const std::filesystem::path file = std::filesystem::path(ZEMLAR_SHARED_TESTDATA) / "vectors.md";
    if (!std::filesystem::exists(file)) {
        GTEST_SKIP() << "Shared test data not found at " << file;
    }
    const auto vectors = pbkdf2Vectors(file);
    ASSERT_GE(vectors.size(), 7u) << "the PBKDF2 tables were not found in " << file;
    for (const PBKDF2Vector& vector : vectors) {
        if (vector.iterations > 100'000) {
            continue; // the 2^24-round vector takes seconds; the others cover the algorithm
        }
        const Bytes password = bytesOf(vector.password);
        const Bytes salt = bytesOf(vector.salt);
        EXPECT_EQ(Crypto::pbkdf2SHA256(password, salt, vector.iterations, vector.key.size()),
                  vector.key)
            << vector.password << " " << vector.iterations;
        // PBKDF2 output blocks are independent: the 32-byte key is a prefix of a longer one.
        const auto key = BackupKDF::deriveKey(vector.password, salt,
                                              static_cast<std::int64_t>(vector.iterations));
        ASSERT_TRUE(key.has_value());
        const std::size_t common = std::min<std::size_t>(32, vector.key.size());
        EXPECT_TRUE(std::equal(vector.key.begin(), vector.key.begin() + common, key->begin()))
            << vector.password << " " << vector.iterations;
    }
}

TEST(Base64, EncodesTheRFC4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                           {"f", "Zg=="},
                                                           {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},
                                                           {"foob", "Zm9vYg=="},
                                                           {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"}};
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64::encode(bytesOf(plain)), encoded);
        EXPECT_EQ(Base64::decode(encoded), bytesOf(plain)) << encoded;
    }
    EXPECT_EQ(Base64::encode(Bytes{0xFB, 0xFF, 0xBF}), "+/+/");
}

TEST(Base64, RefusesEverythingButTheCanonicalForm) {
    using namespace std::string_view_literals;
    for (std::string_view text :
         {"Zg"sv, "Zg="sv, "Zm9v\n"sv, " Zm9v"sv, "Zm-v"sv, "Zm_v"sv, "Zh=="sv, "Zm9="sv, "Z==="sv,
          "===="sv, "Zg==Zg=="sv, "Zm=v"sv, "Zm9vY"sv, "Zg\0="sv}) {
        EXPECT_EQ(Base64::decode(text), std::nullopt) << text;
    }
}

TEST(Base64, RoundTripsEveryLengthAndByteValue) {
    Bytes bytes;
    for (int value = 0; value < 256; ++value) {
        EXPECT_EQ(Base64::decode(Base64::encode(bytes)), bytes) << value;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    EXPECT_EQ(Base64::encode(bytes), TestPayload::base64(bytes)); // OpenSSL's encoding
}

const Bytes kdfSalt = {0x5A, 0x17, 0x00, 0xFF, 0x10, 0x20, 0x30, 0x40,
                       0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0};

const char* const precomposed =
    "caf\xC3\xA9 cr\xC3\xA8me"; // "café crème", é and è as one code point
const char* const decomposed = "cafe\xCC\x81 cre\xCC\x80me"; // e + U+0301, e + U+0300

Bytes barePBKDF2(std::string_view passphrase, int iterations) {
    Bytes key(32);
    PKCS5_PBKDF2_HMAC(passphrase.data(), static_cast<int>(passphrase.size()), kdfSalt.data(),
                      static_cast<int>(kdfSalt.size()), iterations, EVP_sha256(), 32, key.data());
    return key;
}

TEST(BackupKDF, AgreesWithABarePBKDF2OverTheNFCBytes) {
    EXPECT_EQ(BackupKDF::deriveKey("correct horse", kdfSalt, 1000),
              barePBKDF2("correct horse", 1000));
    EXPECT_EQ(BackupKDF::deriveKey(precomposed, kdfSalt, 1000), barePBKDF2(precomposed, 1000));
    EXPECT_EQ(BackupKDF::deriveKey(decomposed, kdfSalt, 1000), barePBKDF2(precomposed, 1000));
    EXPECT_NE(barePBKDF2(decomposed, 1000), barePBKDF2(precomposed, 1000));
}

TEST(BackupKDF, GivesNothingForUnusableInput) {
    EXPECT_EQ(BackupKDF::deriveKey("", kdfSalt, 1000), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", Bytes{}, 1000), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", kdfSalt, 0), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", kdfSalt, -1), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", kdfSalt, std::int64_t{1} << 32), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", kdfSalt, 1)->size(), 32u);
}

TEST(UnicodeNormalization, ComposesCanonicallyAndCountsCharacters) {
    EXPECT_EQ(Unicode::nfc(decomposed), precomposed);
    EXPECT_EQ(Unicode::nfc("plain"), "plain");
    EXPECT_EQ(Unicode::nfc(""), "");
    EXPECT_EQ(Unicode::characterCount(""), 0u);
    EXPECT_EQ(Unicode::characterCount(decomposed), 10u);
    EXPECT_EQ(Unicode::characterCount("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9"),
              1u);                                                              // 👨‍👩
    EXPECT_EQ(Unicode::characterCount("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA"), 1u); // 🇩🇪
    EXPECT_TRUE(Unicode::isCanonicallyEquivalent(precomposed, decomposed));
    EXPECT_FALSE(Unicode::isCanonicallyEquivalent("cafe", "caf\xC3\xA9"));
    // Compatibility forms are not canonical equivalents: the "fi" ligature stays apart.
    EXPECT_FALSE(Unicode::isCanonicallyEquivalent("\xEF\xAC\x81", "fi"));
}

// Counted in user-perceived characters, compared under canonical equivalence.
TEST(BackupPassphrase, NeedsSixCharactersTypedTwiceAlike) {
    const auto tooShort = BackupPassphraseProblem::tooShort(6);
    const auto mismatch = BackupPassphraseProblem::mismatch();
    const std::string sixEmoji = "\xF0\x9F\x98\x80\xF0\x9F\x98\x81\xF0\x9F\x98\x82"
                                 "\xF0\x9F\x98\x83\xF0\x9F\x98\x84\xF0\x9F\x98\x85";
    const std::tuple<std::string, std::string, std::optional<BackupPassphraseProblem>> cases[] = {
        {"abcde", "other", tooShort},
        {"", "", tooShort},
        // Five letters and a combining accent: six code points, five characters.
        {"abcde\xCC\x81", "abcde\xCC\x81", tooShort},
        {sixEmoji, sixEmoji, std::nullopt},
        {"      ", "      ", std::nullopt},
        {"abcdef", "abcdeg", mismatch},
        {"abcdef", "", mismatch},
        {"abcdef", "abcdef ", mismatch},
        {precomposed, decomposed, std::nullopt},
    };
    for (const auto& [passphrase, repeated, problem] : cases) {
        EXPECT_EQ(BackupPassphrase::problem(passphrase, repeated), problem) << passphrase;
    }
}

} // namespace
