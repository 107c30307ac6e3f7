// SPDX-License-Identifier: GPL-3.0-or-later
#include "OTPCore/OTPMigration.hpp"

#include "OTPCore/Account.hpp"
#include "OTPCore/Crypto.hpp"
#include "OTPCore/OTPAuthURI.hpp"
#include "OTPCore/Protobuf.hpp"
#include "OTPCore/Unicode.hpp"
#include "URIComponents.hpp"

#include <array>
#include <limits>

namespace zemlar::OTPMigration {
namespace {

using Protobuf::Field;

namespace PayloadField {
constexpr std::int64_t account = 1;
constexpr std::int64_t partCount = 3;
constexpr std::int64_t partIndex = 4;
} // namespace PayloadField

namespace AccountField {
constexpr std::int64_t secret = 1;
constexpr std::int64_t name = 2;
constexpr std::int64_t issuer = 3;
constexpr std::int64_t algorithm = 4;
constexpr std::int64_t digits = 5;
constexpr std::int64_t type = 6;
} // namespace AccountField

constexpr std::uint64_t counterBasedType = 1;
constexpr std::uint64_t timeBasedType = 2;
constexpr std::int64_t exportPeriod = 30;

// Wipes every length-delimited content of the fields when they go.
struct WipedFields {
    std::vector<Field> fields;

    explicit WipedFields(std::vector<Field> fields) : fields(std::move(fields)) {}
    WipedFields(WipedFields&&) noexcept = default;
    WipedFields& operator=(WipedFields&&) noexcept = default;
    ~WipedFields() {
        for (Field& field : fields) {
            field.value.wipe();
        }
    }
};

// Sextet of a standard Base64 character, -1 for padding, -2 for anything else.
constexpr std::array<std::int8_t, 256> makeBase64Table() {
    std::array<std::int8_t, 256> table{};
    table.fill(-2);
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t value = 0; value < alphabet.size(); ++value) {
        table[static_cast<unsigned char>(alphabet[value])] = static_cast<std::int8_t>(value);
    }
    table['='] = -1;
    return table;
}

constexpr auto base64Table = makeBase64Table();

// Standard Base64 whose length is a multiple of 4, with "=" only as the last one or two
// characters of the text; nothing for anything else.
std::optional<Bytes> decodeStrictBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    Bytes bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t start = 0; start < text.size(); start += 4) {
        const bool lastQuartet = start + 4 == text.size();
        std::array<std::int8_t, 4> sextets{};
        int padding = 0;
        for (std::size_t offset = 0; offset < 4; ++offset) {
            sextets[offset] = base64Table[static_cast<unsigned char>(text[start + offset])];
            if (sextets[offset] == -2 || (sextets[offset] >= 0 && padding > 0)) {
                Crypto::wipe(bytes);
                return std::nullopt;
            }
            padding += sextets[offset] == -1 ? 1 : 0;
        }
        if (padding > 2 || (padding > 0 && !lastQuartet)) {
            Crypto::wipe(bytes);
            return std::nullopt;
        }
        const std::uint32_t group =
            (static_cast<std::uint32_t>(sextets[0]) << 18) |
            (static_cast<std::uint32_t>(sextets[1]) << 12) |
            (static_cast<std::uint32_t>(std::max<std::int8_t>(sextets[2], 0)) << 6) |
            static_cast<std::uint32_t>(std::max<std::int8_t>(sextets[3], 0));
        bytes.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2) {
            bytes.push_back(static_cast<std::uint8_t>(group >> 8));
        }
        if (padding < 1) {
            bytes.push_back(static_cast<std::uint8_t>(group));
        }
    }
    return bytes;
}

// The "data" value written as standard, padded Base64.
std::string standardBase64(std::string_view value) {
    std::string text(value);
    for (char& character : text) {
        if (character == '-' || character == ' ') {
            character = '+';
        } else if (character == '_') {
            character = '/';
        }
    }
    text.append((4 - text.size() % 4) % 4, '=');
    return text;
}

// The last field with the number: later occurrences override earlier ones.
const Protobuf::Value* lastField(const std::vector<Field>& fields, std::int64_t number) {
    for (auto field = fields.rbegin(); field != fields.rend(); ++field) {
        if (field->number == number) {
            return &field->value;
        }
    }
    return nullptr;
}

std::optional<std::uint64_t> varintField(const std::vector<Field>& fields, std::int64_t number) {
    const Protobuf::Value* value = lastField(fields, number);
    return value ? value->varintValue() : std::nullopt;
}

const Bytes* bytesField(const std::vector<Field>& fields, std::int64_t number) {
    const Protobuf::Value* value = lastField(fields, number);
    return value ? value->bytesValue() : nullptr;
}

std::string textField(const std::vector<Field>& fields, std::int64_t number) {
    const Bytes* bytes = bytesField(fields, number);
    if (!bytes) {
        return {};
    }
    return Unicode::wellFormed({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
}

std::optional<OTPAlgorithm> algorithm(std::optional<std::uint64_t> value) {
    switch (value.value_or(0)) {
    case 0:
    case 1:
        return OTPAlgorithm::sha1;
    case 2:
        return OTPAlgorithm::sha256;
    case 3:
        return OTPAlgorithm::sha512;
    default:
        return std::nullopt;
    }
}

std::optional<std::int64_t> digits(std::optional<std::uint64_t> value) {
    switch (value.value_or(0)) {
    case 0:
    case 1:
        return 6;
    case 2:
        return 8;
    default:
        return std::nullopt;
    }
}

ImportBatch skip(std::string title, ImportSkipReason reason) {
    ImportBatch batch;
    batch.skipped.push_back({std::move(title), reason});
    return batch;
}

ImportBatch convert(const std::vector<Field>& account) {
    OTPAuthURI::Label label = OTPAuthURI::parseLabel(textField(account, AccountField::name));
    std::string issuer = Unicode::trimmedBlanks(textField(account, AccountField::issuer));
    if (issuer.empty()) {
        issuer = label.issuer.value_or("");
    }
    std::string title = AccountTitle::make(issuer, label.name);
    const auto type = varintField(account, AccountField::type);
    if (type == counterBasedType) {
        return skip(std::move(title), ImportSkipReason::hotp);
    }
    if (type != timeBasedType) {
        return skip(std::move(title), ImportSkipReason::unsupportedType);
    }
    const auto mappedAlgorithm = algorithm(varintField(account, AccountField::algorithm));
    if (!mappedAlgorithm) {
        return skip(std::move(title), ImportSkipReason::unsupportedAlgorithm);
    }
    const auto mappedDigits = digits(varintField(account, AccountField::digits));
    if (!mappedDigits) {
        return skip(std::move(title), ImportSkipReason::invalidParameters);
    }
    const Bytes* secret = bytesField(account, AccountField::secret);
    const auto parameters = OTPParameters::make(*mappedAlgorithm, *mappedDigits, exportPeriod);
    if (!secret || secret->empty() || !parameters) {
        return skip(std::move(title), ImportSkipReason::emptySecret);
    }
    ImportBatch batch;
    batch.entries.emplace_back(std::move(issuer), std::move(label.name), *secret, *parameters);
    return batch;
}

std::int64_t limitedToInt64(std::uint64_t value) {
    constexpr auto maximum = std::numeric_limits<std::int64_t>::max();
    return value > static_cast<std::uint64_t>(maximum) ? maximum : static_cast<std::int64_t>(value);
}

std::optional<MigrationPart> part(const std::vector<Field>& payload) {
    const auto count = varintField(payload, PayloadField::partCount);
    if (!count || limitedToInt64(*count) < 2) {
        return std::nullopt;
    }
    const auto index = varintField(payload, PayloadField::partIndex);
    return MigrationPart{index ? limitedToInt64(*index) : 0, limitedToInt64(*count)};
}

// The value of the first "data" item, overwritten when it goes.
struct DataValue {
    std::string text;
    explicit DataValue(std::string text) : text(std::move(text)) {}
    DataValue(DataValue&&) noexcept = default;
    ~DataValue() { Crypto::wipe(text); }
};

std::optional<DataValue> dataValue(std::string_view text) {
    const auto components = URIComponents::read(Unicode::trimmed(text));
    if (!components || !components->scheme ||
        Unicode::lowercased(*components->scheme) != "otpauth-migration" ||
        !components->queryItems) {
        return std::nullopt;
    }
    for (const URIQueryItem& item : *components->queryItems) {
        if (item.name == "data") {
            return item.value ? std::optional<DataValue>(std::in_place, *item.value) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<ImportBatch> parse(std::string_view text) {
    const auto data = dataValue(text);
    if (!data) {
        return std::nullopt;
    }
    DataValue standard(standardBase64(data->text));
    auto decoded = decodeStrictBase64(standard.text);
    if (!decoded) {
        return std::nullopt;
    }
    const Crypto::WipedBytes payloadBytes(std::move(*decoded));
    auto payloadFields = Protobuf::fields(payloadBytes.value());
    if (!payloadFields) {
        return std::nullopt;
    }
    const WipedFields payload(std::move(*payloadFields));
    std::vector<WipedFields> accounts;
    for (const Field& field : payload.fields) {
        const Bytes* content =
            field.number == PayloadField::account ? field.value.bytesValue() : nullptr;
        if (!content) {
            continue;
        }
        auto accountFields = Protobuf::fields(*content);
        if (!accountFields) {
            return std::nullopt;
        }
        accounts.emplace_back(std::move(*accountFields));
    }
    ImportBatch batch;
    for (const WipedFields& account : accounts) {
        batch.append(convert(account.fields));
    }
    if (const auto migrationPart = part(payload.fields)) {
        batch.migrationParts.push_back(*migrationPart);
    }
    return batch;
}

} // namespace zemlar::OTPMigration
