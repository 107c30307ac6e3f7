// SPDX-License-Identifier: GPL-3.0-or-later
// Moving accounts in and out: a 500-line links file imported into empty stores (against parsing
// alone), the QR code of a 12-megapixel photo (against decoding the JPEG alone), and a backup of
// 1,000 accounts (against sealing the same payload alone).
#include "BackupTesting.hpp"

#include <OTPCore/BackupCodec.hpp>
#include <OTPCore/BackupKDF.hpp>
#include <OTPCore/ImportParser.hpp>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>
#include <ZemlarKit/ZemlarKit.hpp>
#include <benchmark/benchmark.h>
#include <optional>

namespace {

using namespace zemlar;

/// Distinct links with 15-byte secrets.
std::string linksFile(int lines) {
    constexpr std::string_view base32 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    std::string text;
    for (int line = 0; line < lines; ++line) {
        std::string secret = "JBSWY3DPEHPK3PXP";
        for (int digit = 0, rest = line; digit < 8; ++digit, rest /= 32) {
            secret += base32[static_cast<std::size_t>(rest % 32)];
        }
        const std::string number = std::to_string(line);
        text += "otpauth://totp/Issuer%20" + number + ":user" + number +
                "@example.com?secret=" + secret + "&issuer=Issuer%20" + number + "\n";
    }
    return text;
}

void BM_ParseLinksFile500(benchmark::State& state) {
    const std::string text = linksFile(500);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ImportParser::parse(text));
    }
}
BENCHMARK(BM_ParseLinksFile500)->Unit(benchmark::kMillisecond);

struct ImportStores {
    testing::ScratchFolder scratch;
    std::shared_ptr<SecretVault> vault =
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    VaultSecretStore secrets{vault};
    FileAccountStore accounts{scratch.path / "accounts.json"};
};

void BM_ImportFlowLinksFile500(benchmark::State& state) {
    const std::string text = linksFile(500);
    std::optional<ImportStores> stores;
    for (auto _ : state) {
        state.PauseTiming(); // fresh, empty stores outside the measurement
        stores.reset();
        stores.emplace();
        state.ResumeTiming();
        const auto report = ImportFlow::run(ImportParser::parse(text), Date(1'750'000'000),
                                            stores->accounts, stores->secrets);
        if (report.imported.size() != 500) {
            state.SkipWithError("not every line was imported");
            break;
        }
    }
}
BENCHMARK(BM_ImportFlowLinksFile500)->Unit(benchmark::kMillisecond)->Iterations(3);

/// A 4000 × 3000 JPEG: noisy gradient ground, some shapes, one code turned by 8 degrees.
QByteArray photoWithOneCode() {
    QImage photo(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int base = 90 + (x + y) * 100 / 7000;
            const int noise = static_cast<int>(random.bounded(24)) - 12;
            line[x] = qRgb(base + noise, base + noise + 10, base + noise - 10);
        }
    }
    QPainter painter(&photo);
    painter.fillRect(300, 400, 900, 600, QColor(40, 40, 60));
    painter.fillRect(2900, 1800, 700, 900, QColor(220, 210, 190));
    const auto png = QRImage::png("otpauth://totp/Example:alice@example.com?secret="
                                  "JBSWY3DPEHPK3PXP&issuer=Example");
    QImage code = QImage::fromData(reinterpret_cast<const uchar*>(png->data()),
                                   static_cast<int>(png->size()));
    code = code.scaled(700, 700, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
               .convertToFormat(QImage::Format_RGB32)
               .transformed(QTransform().rotate(8), Qt::SmoothTransformation);
    painter.drawImage(1600, 1000, code);
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 85);
    return jpeg;
}

void BM_DecodeJPEG12Megapixels(benchmark::State& state) {
    const QByteArray jpeg = photoWithOneCode();
    for (auto _ : state) {
        benchmark::DoNotOptimize(QImage::fromData(jpeg));
    }
}
BENCHMARK(BM_DecodeJPEG12Megapixels)->Unit(benchmark::kMillisecond);

void BM_QRCodeReader12Megapixels(benchmark::State& state) {
    const QByteArray jpeg = photoWithOneCode();
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(jpeg.data()),
                                             static_cast<std::size_t>(jpeg.size()));
    for (auto _ : state) {
        const auto payloads = QRCodeReader::payloads(data);
        if (!payloads || payloads->size() != 1) {
            state.SkipWithError("the code was not found");
            break;
        }
    }
}
BENCHMARK(BM_QRCodeReader12Megapixels)->Unit(benchmark::kMillisecond);

constexpr int backupAccounts = 1000;

/// The stores of one computer (shared with the backup tests) holding backupAccounts accounts.
struct BackupStores : testing::Computer {
    BackupStores() {
        for (int index = 0; index < backupAccounts; ++index) {
            const UUID id = RandomBytes::uuid();
            list.push_back(Account{id,
                                   "Issuer " + std::to_string(index),
                                   "user@example.com",
                                   OTPParameters::standard(),
                                   Date(1'700'000'000),
                                   std::nullopt,
                                   0,
                                   {"example.com"},
                                   std::nullopt,
                                   false});
            (void)secrets.add(RandomBytes::generate(20), id);
        }
        (void)accounts.save(list);
        (void)keys.save(BackupCredentials(RandomBytes::generate(32), RandomBytes::generate(16),
                                          BackupKDF::defaultIterations));
    }

    Accounts list;
};

void BM_SealPayload1000(benchmark::State& state) {
    BackupStores stores;
    const auto all = stores.secrets.readAll().value();
    std::vector<BackupAccount> accounts;
    for (const auto& account : stores.list) {
        accounts.push_back(BackupAccount::make(account, all.at(account.id), {}));
    }
    const auto payload = BackupPayload::make(Date(1'750'000'000), accounts, {});
    const auto credentials = stores.keys.load().value().value();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BackupCodec::seal(
            payload, credentials.key, BackupHeader::make(credentials.salt, credentials.iterations),
            RandomBytes::generate(12)));
    }
}
BENCHMARK(BM_SealPayload1000)->Unit(benchmark::kMillisecond);

void BM_BackupExport1000(benchmark::State& state) {
    BackupStores stores;
    double second = 1'750'000'000;
    for (auto _ : state) {
        const auto written = BackupFlows::exportBackup(
            Date(second++), RandomBytes::generate(12), stores.accounts, stores.groups,
            stores.secrets, stores.keys, stores.files, stores.recovery);
        if (!written || *written != backupAccounts) {
            state.SkipWithError("the backup was not written");
            break;
        }
    }
}
BENCHMARK(BM_BackupExport1000)->Unit(benchmark::kMillisecond);

} // namespace
