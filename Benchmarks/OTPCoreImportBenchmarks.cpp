// SPDX-License-Identifier: GPL-3.0-or-later
// An export link of 10,000 accounts read whole (OTPMigration.parse and through ImportParser.parse)
// against its baselines from the same run: the bare wire reader over the same payload, and
// 10,000 one-account otpauth links. Figures are accounts per second.
#include <OTPCore/ImportParser.hpp>
#include <OTPCore/OTPAuthURI.hpp>
#include <OTPCore/OTPMigration.hpp>
#include <OTPCore/Protobuf.hpp>
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <string>

namespace {

using namespace zemlar;

constexpr std::size_t accountCount = 10'000;

void appendVarint(Bytes& bytes, std::uint64_t value) {
    while (value >= 0x80) {
        bytes.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
}

void appendBytesField(Bytes& bytes, std::uint64_t number, const Bytes& content) {
    appendVarint(bytes, number << 3 | 2);
    appendVarint(bytes, content.size());
    bytes.insert(bytes.end(), content.begin(), content.end());
}

void appendText(Bytes& bytes, std::uint64_t number, const std::string& text) {
    appendBytesField(bytes, number, Bytes(text.begin(), text.end()));
}

void appendVarintField(Bytes& bytes, std::uint64_t number, std::uint64_t value) {
    appendVarint(bytes, number << 3);
    appendVarint(bytes, value);
}

Bytes secretOf(std::size_t index) {
    Bytes secret(20);
    for (std::size_t offset = 0; offset < secret.size(); ++offset) {
        secret[offset] = static_cast<std::uint8_t>(index * 7 + offset * 13);
    }
    return secret;
}

const Bytes& payload() {
    static const Bytes bytes = [] {
        Bytes result;
        for (std::size_t index = 0; index < accountCount; ++index) {
            Bytes account;
            appendBytesField(account, 1, secretOf(index));
            appendText(account, 2,
                       "Issuer " + std::to_string(index % 97) + ":user" + std::to_string(index) +
                           "@example.com");
            appendText(account, 3, "Issuer " + std::to_string(index % 97));
            appendVarintField(account, 4, 1);
            appendVarintField(account, 5, 1);
            appendVarintField(account, 6, 2);
            appendBytesField(result, 1, account);
        }
        appendVarintField(result, 2, 1);
        appendVarintField(result, 3, 1);
        return result;
    }();
    return bytes;
}

const std::string& migrationLink() {
    static const std::string link = [] {
        const Bytes& bytes = payload();
        std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
        const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                           bytes.data(), static_cast<int>(bytes.size()));
        text.resize(static_cast<std::size_t>(length));
        return "otpauth-migration://offline?data=" + text;
    }();
    return link;
}

const std::string& otpauthLines() {
    static const std::string text = [] {
        std::string result;
        for (std::size_t index = 0; index < accountCount; ++index) {
            result += OTPAuthURI::make("Issuer " + std::to_string(index % 97),
                                       "user" + std::to_string(index) + "@example.com",
                                       secretOf(index), OTPParameters::standard());
            result += '\n';
        }
        return result;
    }();
    return text;
}

void finish(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * accountCount));
}

void BM_OTPMigrationParse10000Accounts(benchmark::State& state) {
    const std::string& link = migrationLink();
    for (auto _ : state) {
        auto batch = OTPMigration::parse(link);
        if (!batch || batch->entries.size() != accountCount) {
            state.SkipWithError("the payload did not parse whole");
            break;
        }
        benchmark::DoNotOptimize(batch);
    }
    finish(state);
}
BENCHMARK(BM_OTPMigrationParse10000Accounts)->Unit(benchmark::kMillisecond);

void BM_ImportParserMigration10000Accounts(benchmark::State& state) {
    const std::string& link = migrationLink();
    for (auto _ : state) {
        auto batch = ImportParser::parse(link);
        benchmark::DoNotOptimize(batch);
    }
    finish(state);
}
BENCHMARK(BM_ImportParserMigration10000Accounts)->Unit(benchmark::kMillisecond);

void BM_BaselineProtobufFieldsOfThePayload(benchmark::State& state) {
    const Bytes& bytes = payload();
    for (auto _ : state) {
        auto fields = Protobuf::fields(bytes);
        benchmark::DoNotOptimize(fields);
    }
    finish(state);
}
BENCHMARK(BM_BaselineProtobufFieldsOfThePayload)->Unit(benchmark::kMillisecond);

void BM_BaselineImportParser10000OTPAuthLines(benchmark::State& state) {
    const std::string& text = otpauthLines();
    for (auto _ : state) {
        auto batch = ImportParser::parse(text);
        benchmark::DoNotOptimize(batch);
    }
    finish(state);
}
BENCHMARK(BM_BaselineImportParser10000OTPAuthLines)->Unit(benchmark::kMillisecond);

} // namespace
