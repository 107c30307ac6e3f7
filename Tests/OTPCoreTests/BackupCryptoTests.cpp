// SPDX-License-Identifier: GPL-3.0-or-later
// The primitives under the backup file: AES-256-GCM, PBKDF2-HMAC-SHA256 and Base64, checked
// against published vectors; then the key derivation and the passphrase rules.
#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/BackupPassphrase.hpp>
#include <OTPCore/Base64.hpp>
#include <OTPCore/Crypto.hpp>
#include <OTPCore/JSONCoding.hpp>
#include <OTPCore/Unicode.hpp>
#include <gtest/gtest.h>
#include <openssl/evp.h>
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

// Test case 16 of the published GCM test vectors (McGrew and Viega), 256-bit key.
TEST(AESGCM, MatchesThePublishedVectors) {
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

TEST(AESGCM, RefusesWrongLengthsAndAnotherHeader) {
    const Bytes key(32, 7);
    const Bytes nonce(12, 9);
    const Bytes additional = bytesOf("header");
    const Bytes sealed = *Crypto::AESGCM::seal(key, nonce, bytesOf("secret text"), additional);
    EXPECT_EQ(Crypto::AESGCM::seal(Bytes(31, 7), nonce, sealed, additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::seal(key, Bytes(11, 9), sealed, additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::open(key, Bytes(27, 0), additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::open(Bytes(31, 7), sealed, additional), std::nullopt);
    EXPECT_EQ(Crypto::AESGCM::open(key, sealed, bytesOf("headeR")), std::nullopt);
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

// RFC 7914 section 11: a key of two output blocks after many iterations.
TEST(PBKDF2, MatchesThePublishedVectors) {
    const std::tuple<const char*, const char*, std::uint64_t, const char*> vectors[] = {
        {"Password", "NaCl", 80000,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56a1d425a1225833549adb841b"
         "51c9b3176a272bdebba1d078478f62b397f33c8d"},
    };
    for (const auto& [password, salt, iterations, hex] : vectors) {
        const Bytes expected = fromHex(hex);
        EXPECT_EQ(Crypto::pbkdf2SHA256(bytesOf(password), bytesOf(salt), iterations, 64), expected)
            << password;
        // Output blocks are independent: the 32-byte backup key is the first half.
        EXPECT_EQ(
            BackupKDF::deriveKey(password, bytesOf(salt), static_cast<std::int64_t>(iterations)),
            Bytes(expected.begin(), expected.begin() + 32))
            << password;
    }
}

TEST(Base64, EncodesTheRFC4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"\xFB\xFF\xBF", "+/+/"}};
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64::encode(bytesOf(plain)), encoded);
        EXPECT_EQ(Base64::decode(encoded), bytesOf(plain)) << encoded;
    }
}

TEST(Base64, RefusesEverythingButTheCanonicalForm) {
    using namespace std::string_view_literals;
    for (std::string_view text : {"Zg"sv, "Zm9v\n"sv, "Zm-v"sv, "Zh=="sv, "Zm9="sv, "Z==="sv,
                                  "Zg==Zg=="sv, "Zm=v"sv, "Zm9vY"sv, "Zg\0="sv}) {
        EXPECT_EQ(Base64::decode(text), std::nullopt) << text;
    }
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
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", kdfSalt, std::int64_t{1} << 32), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", kdfSalt, 1)->size(), 32u);
}

TEST(UnicodeNormalization, ComposesCanonicallyAndCountsCharacters) {
    EXPECT_EQ(Unicode::nfc(decomposed), precomposed);
    EXPECT_EQ(Unicode::characterCount(decomposed), 10u);
    EXPECT_EQ(Unicode::characterCount("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA"), 1u); // 🇩🇪
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
        // Five letters and a combining accent: six code points, five characters.
        {"abcde\xCC\x81", "abcde\xCC\x81", tooShort},
        {sixEmoji, sixEmoji, std::nullopt},
        {"abcdef", "abcdef ", mismatch},
        {precomposed, decomposed, std::nullopt},
    };
    for (const auto& [passphrase, repeated, problem] : cases) {
        EXPECT_EQ(BackupPassphrase::problem(passphrase, repeated), problem) << passphrase;
    }
}

} // namespace
