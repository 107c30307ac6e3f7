// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportRequest.hpp"

#include "AccountsModel.hpp"
#include "AppDelegate.hpp"
#include "AppLog.hpp"
#include "BackgroundWork.hpp"
#include "BackupModel.hpp"
#include "ImportReportText.hpp"
#include "PanelModel.hpp"

#include <OTPCore/Crypto.hpp>
#include <QFile>
#include <QPointer>
#include <ZemlarKit/FileImport.hpp>
#include <ZemlarKit/ImportFlow.hpp>
#include <qcoro/qcorofuture.h>

namespace zemlar::ImportRequest {
namespace {

CommandReply failed(const QString& path, const FileImport::Failure& failure) {
    const bool needsPassword = failure == FileImport::Failure(ExportFailure::passwordNeeded);
    return CommandReply{
        .outcome =
            needsPassword ? CommandReply::Outcome::passwordNeeded : CommandReply::Outcome::failed,
        .output = {},
        .errors = {path + QStringLiteral(": ") + ImportReportText::failure(failure)},
    };
}

} // namespace

CommandReply run(const QString& path, const QString& password, const AppEnvironment& environment) {
    const Crypto::WipedText secret(password.toStdString());
    const auto batch = FileImport::read(QFile::encodeName(path).toStdString(), secret.value());
    if (!batch) {
        return failed(path, batch.error());
    }
    const ImportReport report =
        ImportFlow::run(*batch, PanelModel::systemClock()(), *environment.accountStore,
                        *environment.secretStore, *environment.groupStore);
    return CommandReply{.outcome = CommandReply::Outcome::done,
                        .output = ImportReportText::lines(report),
                        .errors = {}};
}

SingleInstance::Handler handler(AppDelegate& delegate, AppEnvironment environment) {
    return [alive = QPointer<AppDelegate>(&delegate), environment = std::move(environment)](
               QStringList arguments) -> QCoro::Task<CommandReply> {
        const QString path = arguments.value(0);
        QString password = arguments.value(1);
        arguments.clear();
        auto pending = inBackground(run, path, password, environment);
        Crypto::wipe(password);
        Guarded<CommandReply> guarded = co_await pending;
        if (!guarded) {
            AppLog::error("import", "Импорт по запросу прерван: " + guarded.error());
            co_return failed(path, ImportFailure::unreadableFile());
        }
        if (alive && guarded->outcome == CommandReply::Outcome::done) {
            alive->backup().accountsDidChange();
            alive->accounts().reload();
        }
        co_return std::move(*guarded);
    };
}

} // namespace zemlar::ImportRequest
