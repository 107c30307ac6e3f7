// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "FreeOTPTokens.hpp"
#include "JavaSerialMap.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/ExportCostLimit.hpp"
#include "OTPCore/KeyDerivation.hpp"
#include "Readers.hpp"

#include <map>

// A serialised Java map: "masterKey" holds the master key encrypted under a PBKDF2 key of the
// password, "<id>" each token's key encrypted under the master key, "<id>-token" its record.
namespace zemlar::ExternalExports::FreeOTP {
namespace {

using namespace ExportReading;
using Map = std::map<std::string, std::string>;

constexpr std::string_view masterKeyName = "masterKey";
constexpr std::string_view tokenSuffix = "-token";
constexpr std::array<std::uint8_t, 2> nonceHeader = {0x04, Crypto::AESGCM::nonceLength};

/// The GCM nonce of DER parameters: OCTET STRING(nonce), or SEQUENCE{OCTET STRING(nonce), ...}.
std::optional<std::span<const std::uint8_t>> nonce(std::span<const std::uint8_t> parameters) {
    if (parameters.size() >= 2 && parameters[0] == 0x30) {
        parameters = parameters.subspan(2);
    }
    if (parameters.size() < nonceHeader.size() + Crypto::AESGCM::nonceLength ||
        !std::equal(nonceHeader.begin(), nonceHeader.end(), parameters.begin())) {
        return std::nullopt;
    }
    return parameters.subspan(nonceHeader.size(), Crypto::AESGCM::nonceLength);
}

/// {"mCipherText": [...], "mParameters": [...], "mToken": "..."} opened with the key; the
/// token name is the additional data.
std::optional<Bytes> open(const JSON& box, std::span<const std::uint8_t> key) {
    const auto ciphertext = FreeOTPTokens::signedBytes(member(box, "mCipherText"));
    const auto parameters = FreeOTPTokens::signedBytes(member(box, "mParameters"));
    const auto iv = parameters ? nonce(*parameters) : std::nullopt;
    if (!ciphertext || !iv) {
        return std::nullopt;
    }
    return Crypto::AESGCM::open(key, joined({*iv, *ciphertext}), bytes(text(box, "mToken")));
}

std::optional<Crypto::Digest> digest(std::string_view algorithm) {
    if (algorithm == "PBKDF2withHmacSHA1") {
        return Crypto::Digest::sha1;
    }
    if (algorithm == "PBKDF2withHmacSHA512") {
        return Crypto::Digest::sha512;
    }
    return std::nullopt;
}

Result<Bytes, ExportFailure> masterKey(const JSON& record, std::string_view password) {
    const auto kdf = digest(text(record, "mAlgorithm"));
    const auto iterations = JSONCoding::integer(record, "mIterations");
    const auto salt = FreeOTPTokens::signedBytes(member(record, "mSalt"));
    const JSON* box = member(record, "mEncryptedKey");
    if (!kdf || !iterations || *iterations < 1 ||
        static_cast<std::uint64_t>(*iterations) > costLimit().iterations || !salt ||
        box == nullptr) {
        return fail(ExportFailure::damaged);
    }
    auto derived =
        KeyDerivation::pbkdf2(*kdf, bytes(password), *salt, static_cast<std::uint64_t>(*iterations),
                              Crypto::AESGCM::keyLength);
    if (!derived) {
        return fail(ExportFailure::damaged);
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto master = open(*box, key.value());
    if (!master) {
        return fail(ExportFailure::wrongPassword);
    }
    return std::move(*master);
}

/// The account of one token: its key, opened with the master key, and its record.
std::optional<ExportedAccount> account(const std::string& keyRecord, const std::string& tokenRecord,
                                       std::span<const std::uint8_t> master) {
    auto wrapper = parse(keyRecord);
    auto box = wrapper ? parse(text(*wrapper, "key")) : std::nullopt;
    auto token = parse(tokenRecord);
    auto secret = box && token ? open(*box, master) : std::nullopt;
    if (!secret) {
        return std::nullopt;
    }
    const Crypto::WipedBytes key(std::move(*secret));
    return FreeOTPTokens::account(*token, key.value());
}

Outcome readMap(const std::vector<std::pair<std::string, std::string>>& pairs,
                std::string_view password) {
    const Map map(pairs.begin(), pairs.end());
    const auto masterRecord = map.find(std::string(masterKeyName));
    auto record = masterRecord == map.end() ? std::nullopt : parse(masterRecord->second);
    if (!record) {
        return fail(ExportFailure::damaged);
    }
    auto opened = masterKey(*record, password);
    if (!opened) {
        return fail(opened.error());
    }
    const Crypto::WipedBytes master(std::move(*opened));
    ImportBatch batch;
    for (const auto& [name, value] : pairs) {
        if (name == masterKeyName || name.ends_with(tokenSuffix)) {
            continue;
        }
        const auto token = map.find(name + std::string(tokenSuffix));
        const auto exported =
            token == map.end() ? std::nullopt : account(value, token->second, master.value());
        if (!exported) {
            return fail(ExportFailure::damaged);
        }
        ExportedAccounts::add(batch, *exported);
    }
    return batch;
}

} // namespace

bool recognises(std::string_view content) {
    return JavaSerialMap::isStream(bytes(content));
}

Outcome read(std::string_view content, std::string_view password) {
    const auto pairs = JavaSerialMap::entries(bytes(content));
    if (!pairs) {
        return fail(ExportFailure::damaged);
    }
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    return readMap(*pairs, password);
}

} // namespace zemlar::ExternalExports::FreeOTP
