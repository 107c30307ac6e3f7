// SPDX-License-Identifier: GPL-3.0-or-later
// Renders what users see into PNG files: each settings tab, each sheet, the about window and
// the search panel, over sample accounts in throwaway stores. Meant for a real X server
// (scripts/screenshots runs it on Xvfb), so the widgets look as they do on a desktop.
// Usage: ZemlarScreenshots OUTPUT_FOLDER
#include "AccountsModel.hpp"
#include "AppDelegate.hpp"
#include "EditSheet.hpp"
#include "GroupsSheet.hpp"
#include "PanelController.hpp"
#include "QRCodeSheet.hpp"
#include "RecoveryCodesSheet.hpp"
#include "SearchPanel.hpp"

#include <KeyboardShortcuts/Translations.hpp>
#include <OTPCore/BackupCodec.hpp>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <ZemlarKit/ZemlarKit.hpp>
#include <ZemlarScreens/SettingsView.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <cstdio>
#include <cstdlib>
#include <qcoro/qcorotask.h>

namespace zemlar {
namespace {

struct SampleAccount {
    const char* issuer;
    const char* name;
    int group; // index into sampleGroups, or -1
    std::vector<std::string> domains;
};

const char* const sampleGroups[] = {"Work", "Personal"};

const std::vector<SampleAccount>& sampleAccounts() {
    static const std::vector<SampleAccount> accounts{
        {"GitHub", "alice@example.com", 0, {"github.com"}},
        {"Amazon Web Services", "alice", 0, {"aws.amazon.com", "signin.aws.amazon.com"}},
        {"Slack", "alice@example.com", 0, {}},
        {"Google", "alice@gmail.com", 1, {"google.com"}},
        {"Dropbox", "", 1, {}},
        {"Mastodon", "@alice@social.example", -1, {}},
    };
    return accounts;
}

UUID numbered(int number) {
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", number);
    return *UUID::parse(text);
}

AppEnvironment sampleEnvironment(const QString& folder) {
    const std::filesystem::path root = folder.toStdString();
    auto vault = std::make_shared<SecretVault>(std::make_unique<InMemoryVaultStorage>());
    // The sync client's folder is there; the backup folder inside it is made by the first backup.
    std::filesystem::create_directories(root / "Nextcloud");
    return AppEnvironment{
        .accountStore = std::make_shared<FileAccountStore>(root / "data" / "accounts.json"),
        .groupStore = std::make_shared<FileGroupStore>(root / "data" / "groups.json"),
        .secretStore = std::make_shared<VaultSecretStore>(vault),
        .keyStore = std::make_shared<VaultBackupKeyStore>(vault),
        .fileStore = std::make_shared<DirectoryBackupFileStore>(root / "Nextcloud" / "Zemlar", 5),
        .takenStore = std::make_shared<UserDefaultsInboxTakenStore>(),
        .recoveryStore = std::make_shared<VaultRecoveryCodeStore>(vault),
    };
}

bool fillSamples(const AppEnvironment& environment) {
    for (int index = 0; index < 2; ++index) {
        if (!GroupFlows::add(sampleGroups[index], numbered(100 + index), *environment.groupStore)) {
            return false;
        }
    }
    int number = 1;
    for (const SampleAccount& sample : sampleAccounts()) {
        // A secret of its own per account, so that the rows show different codes.
        const std::string secretText =
            std::string("sample secret of ") + sample.issuer + sample.name;
        const OTPAuthEntry entry(sample.issuer, sample.name,
                                 Bytes(secretText.begin(), secretText.end()),
                                 OTPParameters::standard());
        const UUID id = numbered(number++);
        if (!AccountFlows::add(entry, id, Date(1'700'000'000), *environment.accountStore,
                               *environment.secretStore)) {
            return false;
        }
        const std::optional<UUID> group =
            sample.group < 0 ? std::nullopt : std::optional(numbered(100 + sample.group));
        if (!AccountFlows::edit(id, sample.issuer, sample.name, sample.domains, group, false,
                                *environment.accountStore)) {
            return false;
        }
    }
    const Bytes salt(16, 0x5A);
    return BackupFlows::setUp("correct horse battery staple", salt, 100'000, *environment.keyStore)
        .has_value();
}

/// The latest backup and two earlier ones, so that the Backup tab shows every restore choice.
bool writeSampleBackups(const AppEnvironment& environment) {
    for (const double moment : {1'760'000'000.0, 1'762'000'000.0, 1'764'000'000.0}) {
        const Bytes nonce = RandomBytes::generate(BackupCodec::nonceLength);
        if (!BackupFlows::exportBackup(Date(moment), nonce, *environment.accountStore,
                                       *environment.groupStore, *environment.secretStore,
                                       *environment.keyStore, *environment.fileStore,
                                       *environment.recoveryStore)) {
            return false;
        }
    }
    return true;
}

class Camera {
public:
    explicit Camera(QString folder) : folder_(std::move(folder)) { QDir().mkpath(folder_); }

    /// Shows the widget, lets pending work and painting finish, and saves what it looks like.
    void shoot(QWidget* widget, const QString& name) {
        widget->show();
        settle();
        const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
        if (!widget->grab().save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            failed_ = true;
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    static void settle() { QTest::qWait(400); }
    bool failed() const { return failed_; }

private:
    QString folder_;
    bool failed_ = false;
};

Account firstAccount(const AppEnvironment& environment) {
    return environment.accountStore->load().value().front();
}

int run(const QString& output) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return EXIT_FAILURE;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath("settings"));
    const QString home = scratch.filePath(QStringLiteral("home"));
    // The Backup tab shows its folder as a user would see it, under "~".
    qputenv("HOME", QFile::encodeName(home));
    const AppEnvironment environment = sampleEnvironment(home);
    if (!fillSamples(environment) || !writeSampleBackups(environment)) {
        std::fputs("could not store the sample accounts\n", stderr);
        return EXIT_FAILURE;
    }

    AppDelegate delegate(AppDelegate::Parts{
        .environment = environment,
        .windowSystem = makeX11WindowSystem(),
        .delivery = nullptr,
        .clock = PanelModel::systemClock(),
        .presentAlert = [](AppDelegate::Alert) {},
        .tabHost = {},
        .authentication = {},
        .legacySecrets = nullptr,
        .legacyKeys = nullptr,
    });
    Camera camera(output);

    const std::pair<SettingsTab, const char*> tabs[] = {
        {SettingsTab::accounts, "settings-accounts"},
        {SettingsTab::importing, "settings-import"},
        {SettingsTab::backup, "settings-backup"},
        {SettingsTab::general, "settings-general"},
    };
    for (const auto& [tab, name] : tabs) {
        delegate.showSettings(tab);
        camera.shoot(delegate.settingsWindow(), QString::fromLatin1(name));
    }
    delegate.settingsWindow()->hide();

    AccountsModel& accounts = delegate.accounts();
    const Account account = firstAccount(environment);
    EditSheet edit(accounts, account);
    camera.shoot(&edit, QStringLiteral("sheet-edit"));
    GroupsSheet groups(accounts);
    camera.shoot(&groups, QStringLiteral("sheet-groups"));
    RecoveryCodesSheet recovery(accounts, account);
    camera.shoot(&recovery, QStringLiteral("sheet-recovery-codes"));
    auto rendering = accounts.qrCode(account);
    const std::optional<Bytes> png = QCoro::waitFor(rendering);
    if (png) {
        QRCodeSheet qrCode(ShownQRCode{.id = numbered(999), .title = "GitHub", .png = *png});
        camera.shoot(&qrCode, QStringLiteral("sheet-qr-code"));
    }

    delegate.showAbout();
    camera.shoot(delegate.aboutWindow(), QStringLiteral("about"));

    delegate.panel().show(std::nullopt);
    Camera::settle();
    camera.shoot(delegate.panel().window(), QStringLiteral("panel"));
    delegate.panelModel()->setQuery("a");
    camera.shoot(delegate.panel().window(), QStringLiteral("panel-search"));
    delegate.panel().hide();

    return camera.failed() || !png ? EXIT_FAILURE : EXIT_SUCCESS;
}

} // namespace
} // namespace zemlar

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: ZemlarScreenshots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    QApplication application(argc, argv);
    zemlar::Texts::install();
    zemlar::KeyboardShortcuts::Translations::install();
    return zemlar::run(QString::fromLocal8Bit(argv[1]));
}
