// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportDocument.hpp"

#include "ExportCrypto.hpp"
#include "OTPCore/Base64.hpp"
#include "OTPCore/ExportCostLimit.hpp"

#include <limits>

namespace zemlar::ExportDocuments {
namespace {

constexpr std::size_t keyLength = 32;
constexpr std::uint64_t kibibyte = 1024;
// Argon2 runs one thread per lane: more lanes than any app uses are a damaged file.
constexpr std::uint64_t mostLanes = 64;

Result<Bytes, ExportFailure> derived(std::optional<Bytes>&& key) {
    if (!key) {
        return fail(ExportFailure::damaged);
    }
    return std::move(*key);
}

} // namespace

Document object(std::span<const std::uint8_t> content) {
    auto parsed = JSONCoding::parse(content);
    if (!parsed || !parsed->is_object()) {
        if (parsed) {
            JSONCoding::wipe(*parsed);
        }
        return nullptr;
    }
    auto document = std::make_unique<JSONCoding::WipedJSON>();
    document->value = std::move(*parsed);
    return document;
}

Document object(std::string_view content) {
    return object(ExportCrypto::bytes(content));
}

std::string text(const JSON& object, std::string_view key) {
    return JSONCoding::string(object, key).value_or("");
}

const JSON& array(const JSON& object, std::string_view key) {
    static const JSON empty = JSON::array();
    const auto found = object.find(key);
    return found != object.end() && found->is_array() ? *found : empty;
}

std::optional<std::uint64_t> count(const JSON& object, std::string_view key) {
    const auto value = JSONCoding::integer(object, key);
    if (!value || *value < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

std::optional<Bytes> base64(const JSON& object, std::string_view key) {
    const auto value = JSONCoding::string(object, key);
    return value ? Base64::decode(*value) : std::nullopt;
}

Result<Bytes, ExportFailure> argon2id(std::string_view password, std::span<const std::uint8_t> salt,
                                      std::uint64_t passes, std::uint64_t memoryBytes,
                                      std::uint64_t lanes) {
    constexpr std::uint64_t most = std::numeric_limits<std::uint32_t>::max();
    if (!ExternalExports::costLimit().allows(memoryBytes, passes)) {
        return fail(ExportFailure::tooCostly);
    }
    if (passes > most || memoryBytes / kibibyte > most || lanes == 0 || lanes > mostLanes) {
        return fail(ExportFailure::damaged);
    }
    return derived(ExportCrypto::argon2id(ExportCrypto::bytes(password), salt,
                                          {static_cast<std::uint32_t>(passes),
                                           static_cast<std::uint32_t>(memoryBytes / kibibyte),
                                           static_cast<std::uint32_t>(lanes)},
                                          keyLength));
}

Result<Bytes, ExportFailure> pbkdf2(Crypto::Digest digest, std::string_view password,
                                    std::span<const std::uint8_t> salt, std::uint64_t iterations) {
    if (!ExternalExports::costLimit().allows(0, iterations)) {
        return fail(ExportFailure::tooCostly);
    }
    return derived(
        Crypto::pbkdf2(digest, ExportCrypto::bytes(password), salt, iterations, keyLength));
}

} // namespace zemlar::ExportDocuments
