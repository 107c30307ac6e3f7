// SPDX-License-Identifier: GPL-3.0-or-later
#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/BackupPassphrase.hpp>
#include <OTPCore/Unicode.hpp>
#include <gtest/gtest.h>
#include <openssl/evp.h>

using namespace zemlar;

namespace {

const Bytes salt = {0x5A, 0x17, 0x00, 0xFF, 0x10, 0x20, 0x30, 0x40,
                    0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0};

const char* const precomposed =
    "caf\xC3\xA9 cr\xC3\xA8me"; // "café crème", é and è as one code point
const char* const decomposed = "cafe\xCC\x81 cre\xCC\x80me"; // e + U+0301, e + U+0300

Bytes barePBKDF2(std::string_view passphrase, int iterations) {
    Bytes key(32);
    PKCS5_PBKDF2_HMAC(passphrase.data(), static_cast<int>(passphrase.size()), salt.data(),
                      static_cast<int>(salt.size()), iterations, EVP_sha256(), 32, key.data());
    return key;
}

TEST(BackupKDF, AgreesWithABarePBKDF2OverTheNFCBytes) {
    EXPECT_EQ(BackupKDF::deriveKey("correct horse", salt, 1000), barePBKDF2("correct horse", 1000));
    EXPECT_EQ(BackupKDF::deriveKey(precomposed, salt, 1000), barePBKDF2(precomposed, 1000));
    EXPECT_EQ(BackupKDF::deriveKey(decomposed, salt, 1000), barePBKDF2(precomposed, 1000));
    EXPECT_NE(barePBKDF2(decomposed, 1000), barePBKDF2(precomposed, 1000));
}

TEST(BackupKDF, GivesNothingForUnusableInput) {
    EXPECT_EQ(BackupKDF::deriveKey("", salt, 1000), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", Bytes{}, 1000), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", salt, 0), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", salt, -1), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", salt, std::int64_t{1} << 32), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey("passphrase", salt, 1)->size(), 32u);
}

TEST(BackupKDF, DependsOnEveryInput) {
    const auto key = BackupKDF::deriveKey("passphrase", salt, 2);
    Bytes otherSalt = salt;
    otherSalt.back() ^= 1;
    EXPECT_NE(BackupKDF::deriveKey("passphrase", otherSalt, 2), key);
    EXPECT_NE(BackupKDF::deriveKey("passphrase", salt, 3), key);
    EXPECT_NE(BackupKDF::deriveKey("Passphrase", salt, 2), key);
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

TEST(BackupPassphrase, CountsUserPerceivedCharacters) {
    const auto tooShort = BackupPassphraseProblem::tooShort(6);
    EXPECT_EQ(BackupPassphrase::problem("abcde", "abcde"), tooShort);
    EXPECT_EQ(BackupPassphrase::problem("abcde", "other"), tooShort);
    EXPECT_EQ(BackupPassphrase::problem("", ""), tooShort);
    // Five letters and a combining accent: six code points, five characters.
    EXPECT_EQ(BackupPassphrase::problem("abcde\xCC\x81", "abcde\xCC\x81"), tooShort);
    const std::string sixEmoji = "\xF0\x9F\x98\x80\xF0\x9F\x98\x81\xF0\x9F\x98\x82"
                                 "\xF0\x9F\x98\x83\xF0\x9F\x98\x84\xF0\x9F\x98\x85";
    EXPECT_EQ(BackupPassphrase::problem(sixEmoji, sixEmoji), std::nullopt);
    EXPECT_EQ(BackupPassphrase::problem("      ", "      "), std::nullopt);
}

TEST(BackupPassphrase, ComparesUnderCanonicalEquivalence) {
    EXPECT_EQ(BackupPassphrase::problem("abcdef", "abcdeg"), BackupPassphraseProblem::mismatch());
    EXPECT_EQ(BackupPassphrase::problem("abcdef", ""), BackupPassphraseProblem::mismatch());
    EXPECT_EQ(BackupPassphrase::problem("abcdef", "abcdef "), BackupPassphraseProblem::mismatch());
    EXPECT_EQ(BackupPassphrase::problem("abcdef", "abcdef"), std::nullopt);
    EXPECT_EQ(BackupPassphrase::problem(precomposed, decomposed), std::nullopt);
    EXPECT_EQ(BackupKDF::deriveKey(precomposed, salt, 10),
              BackupKDF::deriveKey(decomposed, salt, 10));
}

} // namespace
