// SPDX-License-Identifier: GPL-3.0-or-later
// The import screen over real stores: the list files in a temporary folder and the vault in
// memory, plus the sources it reads (clipboard, files, QR images).
#pragma once

#include "AppDoubles.hpp"
#include "AppEnvironment.hpp"
#include "ImportModel.hpp"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <ZemlarKit/FileAccountStore.hpp>
#include <ZemlarKit/FileGroupStore.hpp>
#include <ZemlarKit/InMemoryVaultStorage.hpp>
#include <ZemlarKit/QRImage.hpp>
#include <ZemlarKit/SecretVault.hpp>
#include <ZemlarKit/VaultSecretStore.hpp>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <qcoro/qcorotask.h>
#include <string>

namespace zemlar::testing {

inline const std::string exampleLink =
    "otpauth://totp/Example:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=Example";
inline const QString exampleTitle = QStringLiteral("Example · alice@example.com");
inline const std::string shopLink =
    "otpauth://totp/Shop:bob@example.org?secret=KRSXG5CTMVRXEZLU&issuer=Shop&digits=8";
inline const QString shopTitle = QStringLiteral("Shop · bob@example.org");

class ImportScreenTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    std::filesystem::path path(const char* name) const {
        return std::filesystem::path(folder.path().toStdString()) / name;
    }
    std::filesystem::path write(const char* name, const QByteArray& bytes) const {
        QFile file(QString::fromStdString(path(name).string()));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    static QImage qrImage(const std::string& text) {
        const auto png = QRImage::png(text);
        EXPECT_TRUE(png.has_value());
        return QImage::fromData(png->data(), static_cast<int>(png->size()));
    }
    static void putOnClipboard(std::optional<QImage> image, std::optional<QString> text) {
        auto* data = new QMimeData;
        if (image) {
            data->setImageData(*image);
        }
        if (text) {
            data->setText(*text);
        }
        QGuiApplication::clipboard()->setMimeData(data);
    }
    std::size_t storedAccounts() const { return accounts->load().value().size(); }
    bool add(const std::string& issuer, const std::string& name, const std::string& secret) {
        return QCoro::waitFor(model.addManually(issuer, name, secret, OTPAlgorithm::sha1, 6, 30));
    }

    QTemporaryDir folder;
    std::shared_ptr<FileAccountStore> accounts = std::make_shared<FileAccountStore>(
        std::filesystem::path(folder.path().toStdString()) / "data" / "accounts.json");
    std::shared_ptr<VaultSecretStore> secrets = std::make_shared<VaultSecretStore>(
        std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>()));
    AppEnvironment environment = listEnvironment(
        accounts,
        std::make_shared<FileGroupStore>(std::filesystem::path(folder.path().toStdString()) /
                                         "data" / "groups.json"),
        secrets);
    int notified = 0;
    ImportModel model{environment, [this] { ++notified; }};
};

} // namespace zemlar::testing
