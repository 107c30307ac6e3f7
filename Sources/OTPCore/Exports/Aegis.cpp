// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "OTPCore/Base64.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/ExportCostLimit.hpp"
#include "OTPCore/KeyDerivation.hpp"
#include "Readers.hpp"

#include <map>

// A vault: {"version", "header": {"slots", "params"}, "db"}, where db is the entries object
// itself, or its Base64 ciphertext under a master key that each password slot wraps.
namespace zemlar::ExternalExports::Aegis {
namespace {

using namespace ExportReading;

constexpr int passwordSlot = 1;

/// The group names of a version 3 vault by their identifiers.
std::map<std::string, std::string> groupNames(const JSON& vault) {
    std::map<std::string, std::string> names;
    for (const auto& group : array(vault, "groups")) {
        names.emplace(text(group, "uuid"), text(group, "name"));
    }
    return names;
}

/// Version 2 names the group; version 3 lists group identifiers, of which the first counts.
std::string groupOf(const JSON& entry, const std::map<std::string, std::string>& names) {
    if (auto name = text(entry, "group"); !name.empty()) {
        return name;
    }
    for (const auto& id : array(entry, "groups")) {
        if (id.is_string()) {
            if (const auto found = names.find(id.get<std::string>()); found != names.end()) {
                return found->second;
            }
        }
    }
    return {};
}

Outcome readVault(const JSON& vault) {
    const auto names = groupNames(vault);
    return accounts(array(vault, "entries"),
                    [&](const JSON& entry) -> std::optional<ExportedAccount> {
                        const JSON* info = member(entry, "info");
                        if (info == nullptr || !info->is_object()) {
                            return std::nullopt;
                        }
                        ExportedAccount account;
                        account.type = text(entry, "type");
                        account.issuer = text(entry, "issuer");
                        account.name = text(entry, "name");
                        account.secret = text(*info, "secret");
                        account.algorithm = text(*info, "algo");
                        account.digits = text(*info, "digits");
                        account.period = text(*info, "period");
                        account.group = groupOf(entry, names);
                        return account;
                    });
}

/// A nonce and tag pair: {"nonce": hex, "tag": hex}.
struct GCMParameters {
    Bytes nonce;
    Bytes tag;
};

std::optional<GCMParameters> gcmParameters(const JSON* object) {
    if (object == nullptr) {
        return std::nullopt;
    }
    auto nonce = hex(text(*object, "nonce"));
    auto tag = hex(text(*object, "tag"));
    if (!nonce || !tag || nonce->size() != Crypto::AESGCM::nonceLength ||
        tag->size() != Crypto::AESGCM::tagLength) {
        return std::nullopt;
    }
    return GCMParameters{std::move(*nonce), std::move(*tag)};
}

std::optional<Bytes> open(std::span<const std::uint8_t> key, const GCMParameters& parameters,
                          std::span<const std::uint8_t> ciphertext) {
    const Bytes box = joined({parameters.nonce, ciphertext, parameters.tag});
    return Crypto::AESGCM::open(key, box, {});
}

/// What trying one password slot gave.
enum class SlotOutcome { opened, wrongPassword, tooCostly, damaged };

SlotOutcome unwrap(const JSON& slot, std::string_view password, Crypto::WipedBytes& master) {
    const auto salt = hex(text(slot, "salt"));
    const auto wrapped = hex(text(slot, "key"));
    const auto parameters = gcmParameters(member(slot, "key_params"));
    const auto n = JSONCoding::integer(slot, "n");
    const auto r = JSONCoding::integer(slot, "r");
    const auto p = JSONCoding::integer(slot, "p");
    if (!salt || !wrapped || !parameters || !n || !r || !p || *n < 2 || *r < 1 || *p < 1 ||
        *r > UINT32_MAX || *p > UINT32_MAX) {
        return SlotOutcome::damaged;
    }
    const KeyDerivation::ScryptCost cost{static_cast<std::uint64_t>(*n),
                                         static_cast<std::uint32_t>(*r),
                                         static_cast<std::uint32_t>(*p)};
    const auto memory = cost.memoryBytes();
    if (!memory || !costLimit().allows(*memory, 0)) {
        return SlotOutcome::tooCostly;
    }
    auto derived = KeyDerivation::scrypt(bytes(password), *salt, cost, Crypto::AESGCM::keyLength);
    if (!derived) {
        return SlotOutcome::damaged;
    }
    const Crypto::WipedBytes key(std::move(*derived));
    auto opened = open(key.value(), *parameters, *wrapped);
    if (!opened) {
        return SlotOutcome::wrongPassword;
    }
    master.value() = std::move(*opened);
    return SlotOutcome::opened;
}

/// The master key from the first password slot the password opens.
Result<void, ExportFailure> masterKey(const JSON& header, std::string_view password,
                                      Crypto::WipedBytes& master) {
    ExportFailure failure = ExportFailure::damaged;
    for (const auto& slot : array(header, "slots")) {
        if (JSONCoding::integer(slot, "type") != passwordSlot) {
            continue;
        }
        switch (unwrap(slot, password, master)) {
        case SlotOutcome::opened:
            return {};
        case SlotOutcome::wrongPassword:
            failure = ExportFailure::wrongPassword;
            break;
        case SlotOutcome::tooCostly:
            failure = failure == ExportFailure::wrongPassword ? failure : ExportFailure::tooCostly;
            break;
        case SlotOutcome::damaged:
            break;
        }
    }
    return fail(failure);
}

Outcome readEncrypted(const JSON& document, std::string_view password) {
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    const JSON* header = member(document, "header");
    const auto parameters = gcmParameters(header == nullptr ? nullptr : member(*header, "params"));
    const auto ciphertext = Base64::decode(text(document, "db"));
    if (!parameters || !ciphertext) {
        return fail(ExportFailure::damaged);
    }
    Crypto::WipedBytes master;
    if (auto opened = masterKey(*header, password, master); !opened) {
        return fail(opened.error());
    }
    return readOpened(open(master.value(), *parameters, *ciphertext), ExportFailure::damaged,
                      readVault);
}

} // namespace

bool recognises(std::string_view content) {
    return isJSONWhere(content, [](const JSON& document) {
        return hasMember(document, "header", JSON::value_t::object) &&
               member(document, "db") != nullptr && member(document, "version") != nullptr;
    });
}

Outcome read(std::string_view content, std::string_view password) {
    return readJSON(content, [password](const JSON& document) -> Outcome {
        const JSON* db = member(document, "db");
        if (db != nullptr && db->is_object()) {
            return readVault(*db);
        }
        if (db != nullptr && db->is_string()) {
            return readEncrypted(document, password);
        }
        return fail(ExportFailure::damaged);
    });
}

} // namespace zemlar::ExternalExports::Aegis
