// SPDX-License-Identifier: GPL-3.0-or-later
#include "Stratum.hpp"

#include "ExportCrypto.hpp"
#include "ExportDocument.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/ExportedAccount.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace zemlar::ExternalExports::Stratum {
namespace {

using namespace ExportDocuments;

constexpr std::string_view currentMagic = "AUTHENTICATORPRO";
constexpr std::string_view legacyMagic = "AuthenticatorPro";

// Current backups: Argon2id and AES-256-GCM.
constexpr std::size_t saltLength = 16;
constexpr std::uint64_t passes = 3;
constexpr std::uint64_t memoryBytes = 64 << 20;
constexpr std::uint64_t lanes = 4;

// Legacy backups: PBKDF2-HMAC-SHA1 and AES-256-CBC.
constexpr std::size_t legacySaltLength = 20;
constexpr std::size_t legacyIVLength = 16;
constexpr std::uint64_t legacyIterations = 64'000;

constexpr std::array<std::string_view, 6> typeNames = {"",     "hotp",  "totp",
                                                       "motp", "steam", "yandex"};
constexpr std::array<std::string_view, 3> algorithmNames = {"SHA1", "SHA256", "SHA512"};

std::string number(const JSON& object, std::string_view key) {
    const auto value = JSONCoding::integer(object, key);
    return value ? std::to_string(*value) : std::string{};
}

template <std::size_t size>
std::string named(const std::array<std::string_view, size>& names, const JSON& object,
                  std::string_view key) {
    const auto value = count(object, key);
    return value && *value < size ? std::string(names[*value]) : std::string("unknown");
}

// Categories name the accounts they hold by their secrets.
class Categories {
public:
    explicit Categories(const JSON& document) {
        std::map<std::string, std::string> names;
        for (const JSON& category : array(document, "Categories")) {
            if (category.is_object()) {
                names[text(category, "Id")] = text(category, "Name");
            }
        }
        for (const JSON& link : array(document, "AuthenticatorCategories")) {
            if (link.is_object()) {
                links_.emplace_back(text(link, "AuthenticatorSecret"),
                                    names[text(link, "CategoryId")]);
            }
        }
    }
    Categories(const Categories&) = delete;
    Categories& operator=(const Categories&) = delete;

    ~Categories() {
        for (auto& link : links_) {
            Crypto::wipe(link.first);
        }
    }

    /// The first category that holds the secret; "" for none.
    std::string of(std::string_view secret) const {
        const auto found = std::ranges::find(links_, secret, &Link::first);
        return found == links_.end() ? std::string{} : found->second;
    }

private:
    using Link = std::pair<std::string, std::string>;
    std::vector<Link> links_;
};

ImportBatch plainBatch(const JSON& document) {
    const Categories categories(document);
    ImportBatch batch;
    for (const JSON& entry : array(document, "Authenticators")) {
        if (!entry.is_object()) {
            batch.skipped.push_back({"", ImportSkipReason::invalid});
            continue;
        }
        ExportedAccount account;
        account.type = named(typeNames, entry, "Type");
        account.issuer = text(entry, "Issuer");
        account.name = text(entry, "Username");
        account.secret = text(entry, "Secret");
        account.algorithm = named(algorithmNames, entry, "Algorithm");
        account.digits = number(entry, "Digits");
        account.period = number(entry, "Period");
        account.group = categories.of(account.secret);
        ExportedAccounts::add(batch, account);
    }
    return batch;
}

Result<ImportBatch, ExportFailure> plainResult(std::span<const std::uint8_t> plaintext,
                                               ExportFailure unreadable) {
    const auto document = object(plaintext);
    if (!document) {
        return fail(unreadable);
    }
    return plainBatch(document->value);
}

Result<ImportBatch, ExportFailure> readCurrent(std::span<const std::uint8_t> box,
                                               std::string_view password) {
    if (box.size() < saltLength) {
        return fail(ExportFailure::damaged);
    }
    auto derived = argon2id(password, box.first(saltLength), passes, memoryBytes, lanes);
    if (!derived) {
        return fail(derived.error());
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto opened = Crypto::AESGCM::open(key.value(), box.subspan(saltLength), {});
    if (!opened) {
        return fail(ExportFailure::wrongPassword);
    }
    const Crypto::WipedBytes plaintext(std::move(*opened));
    return plainResult(plaintext.value(), ExportFailure::damaged);
}

Result<ImportBatch, ExportFailure> readLegacy(std::span<const std::uint8_t> box,
                                              std::string_view password) {
    if (box.size() < legacySaltLength + legacyIVLength) {
        return fail(ExportFailure::damaged);
    }
    auto derived =
        pbkdf2(Crypto::Digest::sha1, password, box.first(legacySaltLength), legacyIterations);
    if (!derived) {
        return fail(derived.error());
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto opened =
        ExportCrypto::aesCBCDecrypt(key.value(), box.subspan(legacySaltLength, legacyIVLength),
                                    box.subspan(legacySaltLength + legacyIVLength));
    if (!opened) {
        return fail(ExportFailure::wrongPassword);
    }
    const Crypto::WipedBytes plaintext(std::move(*opened));
    // Without authentication, a wrong key can still end in valid padding.
    return plainResult(plaintext.value(), ExportFailure::wrongPassword);
}

} // namespace

bool recognises(std::string_view content) {
    if (content.starts_with(currentMagic) || content.starts_with(legacyMagic)) {
        return true;
    }
    const auto document = object(content);
    return document && document->value.contains("Authenticators");
}

Result<ImportBatch, ExportFailure> read(std::string_view content, std::string_view password) {
    const bool current = content.starts_with(currentMagic);
    if (!current && !content.starts_with(legacyMagic)) {
        return plainResult(ExportCrypto::bytes(content), ExportFailure::damaged);
    }
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    const auto box = ExportCrypto::bytes(content.substr(currentMagic.size()));
    return current ? readCurrent(box, password) : readLegacy(box, password);
}

} // namespace zemlar::ExternalExports::Stratum
