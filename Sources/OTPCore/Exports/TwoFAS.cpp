// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportReading.hpp"
#include "OTPCore/Base64.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/KeyDerivation.hpp"
#include "Readers.hpp"

#include <map>

// {"schemaVersion", "services": [...], "groups": [...]}; an encrypted export keeps its services
// in "servicesEncrypted" as Base64 "ciphertext:salt:iv" under a PBKDF2-SHA256 key.
namespace zemlar::ExternalExports::TwoFAS {
namespace {

using namespace ExportReading;

constexpr std::uint64_t iterations = 10'000;

std::map<std::string, std::string> groupNames(const JSON& document) {
    std::map<std::string, std::string> names;
    for (const auto& group : array(document, "groups")) {
        names.emplace(text(group, "id"), text(group, "name"));
    }
    return names;
}

Outcome readServices(const JSON& services, const std::map<std::string, std::string>& groups) {
    return accounts(services, [&](const JSON& service) -> std::optional<ExportedAccount> {
        if (!service.is_object()) {
            return std::nullopt;
        }
        static const JSON noParameters = JSON::object();
        const JSON* otp = member(service, "otp");
        const JSON& parameters = otp != nullptr && otp->is_object() ? *otp : noParameters;
        ExportedAccount account;
        if (auto type = text(parameters, "tokenType"); !type.empty()) {
            account.type = std::move(type);
        }
        account.issuer = text(service, "name");
        if (account.issuer.empty()) {
            account.issuer = text(parameters, "issuer");
        }
        account.name = text(parameters, "account");
        account.secret = text(service, "secret");
        account.algorithm = text(parameters, "algorithm");
        account.digits = text(parameters, "digits");
        account.period = text(parameters, "period");
        if (const auto group = groups.find(text(service, "groupId")); group != groups.end()) {
            account.group = group->second;
        }
        return account;
    });
}

/// The three Base64 parts of "ciphertext:salt:iv".
std::optional<std::array<Bytes, 3>> encryptedParts(std::string_view value) {
    std::array<Bytes, 3> parts;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const auto end = index + 1 < parts.size() ? value.find(':') : value.size();
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        auto decoded = Base64::decode(value.substr(0, end));
        if (!decoded) {
            return std::nullopt;
        }
        parts[index] = std::move(*decoded);
        value.remove_prefix(std::min(end + 1, value.size()));
    }
    return parts;
}

Outcome readEncrypted(const JSON& document, std::string_view password) {
    if (password.empty()) {
        return fail(ExportFailure::passwordNeeded);
    }
    const auto parts = encryptedParts(text(document, "servicesEncrypted"));
    if (!parts) {
        return fail(ExportFailure::damaged);
    }
    const auto& [ciphertext, salt, iv] = *parts;
    auto derived = KeyDerivation::pbkdf2(Crypto::Digest::sha256, bytes(password), salt, iterations,
                                         Crypto::AESGCM::keyLength);
    if (!derived || iv.size() != Crypto::AESGCM::nonceLength) {
        return fail(ExportFailure::damaged);
    }
    const Crypto::WipedBytes key(std::move(*derived));
    return readOpened(Crypto::AESGCM::open(key.value(), joined({iv, ciphertext}), {}),
                      ExportFailure::wrongPassword, [&](const JSON& services) {
                          return readServices(services, groupNames(document));
                      });
}

} // namespace

bool recognises(std::string_view content) {
    return isJSONWhere(content, [](const JSON& document) {
        return member(document, "schemaVersion") != nullptr &&
               hasMember(document, "services", JSON::value_t::array);
    });
}

Outcome read(std::string_view content, std::string_view password) {
    return readJSON(content, [password](const JSON& document) {
        if (!text(document, "servicesEncrypted").empty()) {
            return readEncrypted(document, password);
        }
        return readServices(array(document, "services"), groupNames(document));
    });
}

} // namespace zemlar::ExternalExports::TwoFAS
