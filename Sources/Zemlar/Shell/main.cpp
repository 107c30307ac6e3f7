// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppDelegate.hpp"
#include "AppEnvironment.hpp"
#include "AppIcon.hpp"
#include "CommandLine/CommandLine.hpp"
#include "DisplaySession.hpp"
#include "ImportRequest.hpp"
#include "LiveDeliveryMethods.hpp"
#include "SingleInstance.hpp"
#include "WaylandServices.hpp"
#include "WindowRequests.hpp"

#include <KeyboardShortcuts/Translations.hpp>
#include <QApplication>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <ZemlarKit/ExportCostLimits.hpp>
#include <ZemlarKit/KeychainBackupKeyStore.hpp>
#include <ZemlarKit/KeychainSecretStore.hpp>
#include <ZemlarKit/ProcessHardening.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <cstdio>

int main(int argc, char** argv) {
    zemlar::ProcessHardening::apply(); // quietly partial where the system refuses
    zemlar::ExportCostLimits::applyToThisMachine();
    const auto windowRequest = zemlar::WindowRequests::fromArguments(argc, argv);
    if (std::holds_alternative<zemlar::WindowRequests::UnknownTab>(windowRequest)) {
        std::fputs(zemlar::WindowRequests::usage, stderr);
        return 2;
    }
    const auto* request = std::get_if<zemlar::InstanceRequest>(&windowRequest);
    if (request == nullptr) {
        if (const auto status = zemlar::CommandLine::run(argc, argv)) { // no display needed
            return *status;
        }
    } else if (zemlar::WindowRequests::sendToRunning(*request)) { // quick, for key bindings
        return 0;
    }
    zemlar::DisplaySession::choosePlatform();
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMLAR_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Zemlar"));
    QCoreApplication::setApplicationName(QStringLiteral("Zemlar"));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.zemlar.Zemlar"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(zemlar::AppIcon::make());

    zemlar::SingleInstance instance;
    if (!instance.claim()) {
        if (request == nullptr) {
            std::fputs("Zemlar is already running: its settings window is open.\n", stdout);
        }
        return 0;
    }

    zemlar::Texts::install();
    zemlar::KeyboardShortcuts::Translations::install();
    auto delivery = std::make_shared<zemlar::LiveDeliveryMethods>(zemlar::AppEnvironment::live());
    zemlar::WaylandServices::install(
        *delivery, [](const QString&) { return zemlar::Texts::text("Find Code…"); });
    zemlar::AppDelegate delegate(zemlar::AppDelegate::Parts{
        .environment = zemlar::AppEnvironment::live(),
        .windowSystem = zemlar::makeWindowSystem(),
        .delivery = delivery,
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
    zemlar::WindowRequests::answer(instance, delegate);
    delegate.applicationDidFinishLaunching();
    if (request != nullptr) {
        zemlar::WindowRequests::perform(*request, delegate);
    }
    return application.exec();
}
