// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDelegate.hpp"
#include "AppEnvironment.hpp"
#include "AppIcon.hpp"
#include "CommandLine/CommandLine.hpp"
#include "ImportRequest.hpp"
#include "LiveDeliveryMethods.hpp"
#include "SingleInstance.hpp"

#include <KeyboardShortcuts/Translations.hpp>
#include <QApplication>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <ZemlarKit/KeychainBackupKeyStore.hpp>
#include <ZemlarKit/KeychainSecretStore.hpp>
#include <ZemlarKit/ProcessHardening.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <cstdio>

int main(int argc, char** argv) {
    zemlar::ProcessHardening::apply(); // quietly partial where the system refuses
    if (const auto status = zemlar::CommandLine::run(argc, argv)) { // no display needed
        return *status;
    }
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMLAR_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Zemlar"));
    QCoreApplication::setApplicationName(QStringLiteral("Zemlar"));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.zemlar.Zemlar"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(zemlar::AppIcon::make());

    zemlar::SingleInstance instance;
    if (!instance.claim()) {
        std::fputs("Zemlar is already running: its settings window is open.\n", stdout);
        return 0;
    }

    zemlar::Texts::install();
    zemlar::KeyboardShortcuts::Translations::install();
    zemlar::AppDelegate delegate(zemlar::AppDelegate::Parts{
        .environment = zemlar::AppEnvironment::live(),
        .windowSystem = zemlar::makeX11WindowSystem(),
        .delivery = std::make_shared<zemlar::LiveDeliveryMethods>(zemlar::AppEnvironment::live()),
        .clock = zemlar::PanelModel::systemClock(),
        .presentAlert = {},
        .tabHost = [reader = std::make_shared<zemlar::AtspiTabReader>()](
                       const zemlar::FrontApp& app) -> std::optional<std::string> {
            const auto browser = zemlar::AtspiTabReader::bundleID(app.wmClass);
            if (!browser) {
                return std::nullopt;
            }
            return reader->host({.bundleID = *browser, .pid = app.pid, .title = app.title});
        },
        .authentication = {},
        .legacySecrets = std::make_shared<zemlar::KeychainSecretStore>(
            std::string(zemlar::KeychainSecretStore::applicationService)),
        .legacyKeys = std::make_shared<zemlar::KeychainBackupKeyStore>(
            std::string(zemlar::KeychainBackupKeyStore::applicationService)),
    });
    QObject::connect(&instance, &zemlar::SingleInstance::settingsRequested, &delegate,
                     [&delegate] { delegate.showSettings(); });
    instance.handle(zemlar::InstanceRequest::importFile,
                    zemlar::ImportRequest::handler(delegate, zemlar::AppEnvironment::live()));
    delegate.applicationDidFinishLaunching();
    return application.exec();
}
