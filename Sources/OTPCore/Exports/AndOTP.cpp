// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/ExportCostLimit.hpp"
#include "OTPCore/KeyDerivation.hpp"
#include "Readers.hpp"

#include <algorithm>
#include <array>

// A JSON array of entries; encrypted, the same array under AES-256-GCM, without any marker:
// [iterations: 4 bytes big-endian][salt 12][nonce 12][ciphertext][tag 16] with a PBKDF2-SHA1
// key, or in the old form [nonce 12][ciphertext][tag 16] with the SHA-256 of the password.
namespace zemlar::ExternalExports {
namespace {

using namespace ExportReading;

constexpr std::size_t iterationsLength = 4;
constexpr std::size_t saltLength = 12;
constexpr std::size_t headerLength = iterationsLength + saltLength;
constexpr std::size_t oldMinimumLength =
    Crypto::AESGCM::nonceLength + Crypto::AESGCM::tagLength + 2;

constexpr std::string_view oldLabelSeparator = " - ";

bool isEntry(const JSON& entry) {
    return hasMember(entry, "secret", JSON::value_t::string) && member(entry, "type") != nullptr &&
           member(entry, "label") != nullptr;
}

/// Exports made before issuers had a field of their own write "issuer - label".
void takeLabel(const JSON& entry, ExportedAccount& account) {
    account.name = text(entry, "label");
    if (member(entry, "issuer") != nullptr) {
        account.issuer = text(entry, "issuer");
        return;
    }
    if (const auto separator = account.name.find(oldLabelSeparator);
        separator != std::string::npos) {
        account.issuer = account.name.substr(0, separator);
        account.name.erase(0, separator + oldLabelSeparator.size());
    }
}

Outcome readEntries(const JSON& entries) {
    return accounts(entries, [](const JSON& entry) -> std::optional<ExportedAccount> {
        if (!isEntry(entry)) {
            return std::nullopt;
        }
        ExportedAccount account;
        account.type = text(entry, "type");
        takeLabel(entry, account);
        account.secret = text(entry, "secret");
        account.algorithm = text(entry, "algorithm");
        account.digits = text(entry, "digits");
        account.period = text(entry, "period");
        const auto& tags = array(entry, "tags");
        if (!tags.empty() && tags.front().is_string()) {
            account.group = tags.front().get<std::string>();
        }
        return account;
    });
}

std::uint32_t bigEndian(std::span<const std::uint8_t> four) {
    return (std::uint32_t{four[0]} << 24) | (std::uint32_t{four[1]} << 16) |
           (std::uint32_t{four[2]} << 8) | std::uint32_t{four[3]};
}

std::optional<Bytes> openNew(std::span<const std::uint8_t> file, std::string_view password) {
    if (file.size() < headerLength + Crypto::AESGCM::nonceLength + Crypto::AESGCM::tagLength) {
        return std::nullopt;
    }
    const std::uint32_t iterations = bigEndian(file.first(iterationsLength));
    if (iterations == 0 || static_cast<std::uint64_t>(iterations) > costLimit().iterations) {
        return std::nullopt;
    }
    auto derived = KeyDerivation::pbkdf2(Crypto::Digest::sha1, bytes(password),
                                         file.subspan(iterationsLength, saltLength), iterations,
                                         Crypto::AESGCM::keyLength);
    if (!derived) {
        return std::nullopt;
    }
    const Crypto::WipedBytes key(std::move(*derived));
    return Crypto::AESGCM::open(key.value(), file.subspan(headerLength), {});
}

std::optional<Bytes> openOld(std::span<const std::uint8_t> file, std::string_view password) {
    const Crypto::WipedBytes key(KeyDerivation::sha256(bytes(password)));
    return Crypto::AESGCM::open(key.value(), file, {});
}

/// Image files are read for their QR codes, so they are never taken for an encrypted export.
// An image or an archive of a known kind: its content has a signature an encrypted export's random
// nonce shares only by rare chance.
bool isKnownFileKind(std::string_view content) {
    using namespace std::string_view_literals;
    static constexpr std::array signatures = {"\x89PNG"sv, "\xFF\xD8\xFF"sv, "GIF8"sv, "BM"sv,
                                              "RIFF"sv, "II*\0"sv, "MM\0*"sv,
                                              // ISO media boxes (HEIF, AVIF, JPEG 2000)
                                              "\0\0\0"sv,
                                              // ZIP, gzip, PDF, 7-Zip, RAR
                                              "PK\x03\x04"sv, "PK\x05\x06"sv, "\x1F\x8B"sv,
                                              "%PDF"sv, "7z\xBC\xAF"sv, "Rar!"sv};
    for (const auto signature : signatures) {
        if (content.starts_with(signature)) {
            return true;
        }
    }
    return false;
}

bool isText(std::string_view content) {
    return std::all_of(content.begin(), content.end(), [](char character) {
        const auto byte = static_cast<unsigned char>(character);
        return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
    });
}

} // namespace

bool AndOTP::recognises(std::string_view content) {
    return isJSONWhere(content, [](const JSON& document) {
        return document.is_array() && !document.empty() && isEntry(document.front());
    });
}

Outcome AndOTP::read(std::string_view content, std::string_view) {
    return readJSON(content, readEntries);
}

bool AndOTPEncrypted::recognises(std::string_view content) {
    return content.size() >= oldMinimumLength && !isText(content) && !isKnownFileKind(content);
}

Outcome AndOTPEncrypted::read(std::string_view content, std::string_view password) {
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    auto plaintext = openNew(bytes(content), password);
    if (!plaintext) {
        plaintext = openOld(bytes(content), password);
    }
    return readOpened(std::move(plaintext), ExportFailure::wrongPassword, readEntries);
}

} // namespace zemlar::ExternalExports
