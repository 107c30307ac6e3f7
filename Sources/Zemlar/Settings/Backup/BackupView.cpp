// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackupView.hpp"

#include "BackupModel.hpp"
#include "DisplayDate.hpp"

#include <OTPCore/BackupPassphrase.hpp>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <ZemlarKit/SecretText.hpp>
#include <ZemlarKit/SyncClientFolders.hpp>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/SecretField.hpp>
#include <ZemlarScreens/Texts.hpp>
#include <algorithm>

namespace zemlar {
namespace {

QLineEdit* secureField(const char* objectName) {
    auto* field = new QLineEdit;
    field->setEchoMode(QLineEdit::Password);
    field->setObjectName(QLatin1String(objectName));
    return field;
}

QPushButton* button(const char* key, const char* objectName) {
    auto* result = new QPushButton(Texts::text(key));
    result->setObjectName(QLatin1String(objectName));
    return result;
}

/// The choice of backup version; counts the accounts of the earlier ones when opened.
class VersionList final : public QComboBox {
public:
    explicit VersionList(BackupModel& model) : model_(model) {}

    void showPopup() override {
        model_.countArchivedAccounts();
        QComboBox::showPopup();
    }

private:
    BackupModel& model_;
};

QString versionTitle(const BackupModel::Archive& archive) {
    const QString date = DisplayDate::abbreviated(archive.date);
    if (!archive.accounts) {
        return date;
    }
    return Texts::format(QT_TRANSLATE_NOOP("Zemlar", "%@ (accounts: %lld)"),
                         {date, QString::number(static_cast<qlonglong>(*archive.accounts))});
}

/// Whether the list shows the latest backup and exactly these earlier ones, in this order.
bool listsArchives(const QComboBox& list, const std::vector<BackupModel::Archive>& archives) {
    if (list.count() != static_cast<int>(archives.size()) + 1) {
        return false;
    }
    for (std::size_t index = 0; index < archives.size(); ++index) {
        if (list.itemData(static_cast<int>(index) + 1).toString().toStdString() !=
            archives[index].name) {
            return false;
        }
    }
    return true;
}

QPixmap symbol(const QWidget& widget, const char* themeName, QStyle::StandardPixmap fallback) {
    const QIcon icon =
        QIcon::fromTheme(QLatin1String(themeName), widget.style()->standardIcon(fallback));
    return icon.pixmap(16, 16);
}

QPixmap warningSymbol(const QWidget& widget) {
    return symbol(widget, "dialog-warning", QStyle::SP_MessageBoxWarning);
}

/// The passphrase problem, judged on UTF-8 copies that are wiped at once.
std::optional<BackupPassphraseProblem> passphraseProblem(const QString& passphrase,
                                                         const QString& confirmation) {
    const Crypto::WipedText passphraseText = SecretText::utf8(passphrase);
    const Crypto::WipedText confirmationText = SecretText::utf8(confirmation);
    return BackupPassphrase::problem(passphraseText.value(), confirmationText.value());
}

/// A folder chooser that starts in the folder in use and lists the sync clients' folders first.
QString askForFolder(QWidget* parent, const std::optional<std::filesystem::path>& current) {
    QFileDialog dialog(parent,
                       Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Choose the backup folder")));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the sidebar below needs Qt's own
    QList<QUrl> places;
    for (const auto& folder : SyncClientFolders::existing(QDir::homePath().toStdString())) {
        places.append(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
    }
    places.append(
        QUrl::fromLocalFile(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    places.append(QUrl::fromLocalFile(QDir::homePath()));
    dialog.setSidebarUrls(places);
    if (current) {
        dialog.setDirectory(QString::fromStdString(current->parent_path().string()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

/// Whether to copy the backups into a new folder that has none: nothing when the user cancels
/// the change.
std::optional<bool> askToCopy(QWidget* parent) {
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Question);
    box.setTextFormat(Qt::PlainText);
    box.setText(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Copy the backups to the new folder?")));
    box.setInformativeText(Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "The new folder has no backup yet. The old folder keeps its files.")));
    auto* copy =
        box.addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Copy")), QMessageBox::AcceptRole);
    auto* keep = box.addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Don't Copy")),
                               QMessageBox::DestructiveRole);
    box.addButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Cancel")), QMessageBox::RejectRole);
    box.setDefaultButton(copy);
    box.exec();
    if (box.clickedButton() == copy || box.clickedButton() == keep) {
        return box.clickedButton() == copy;
    }
    return std::nullopt;
}

} // namespace

BackupView::BackupView(BackupModel& model, QWidget* parent)
    : QWidget(parent), model_(model), folder_(ScreenStyle::label()),
      changeFolder_(button(QT_TRANSLATE_NOOP("Zemlar", "Change…"), "changeFolder")),
      openFolder_(button(QT_TRANSLATE_NOOP("Zemlar", "Open Folder"), "openFolder")),
      passphraseState_(ScreenStyle::label()), passphraseLabel_(ScreenStyle::label()),
      passphrase_(secureField("passphrase")), confirmation_(secureField("confirmation")),
      hint_(ScreenStyle::caption({})),
      setPassphrase_(button(QT_TRANSLATE_NOOP("Zemlar", "Set Passphrase"), "setPassphrase")),
      backUpNow_(button(QT_TRANSLATE_NOOP("Zemlar", "Back Up Now"), "backUpNow")),
      checkBackup_(button(QT_TRANSLATE_NOOP("Zemlar", "Check Backup"), "checkBackup")),
      restoreSection_(new QWidget), restorePassphrase_(secureField("restorePassphrase")),
      version_(new VersionList(model)),
      fromSyncFolder_(button(QT_TRANSLATE_NOOP("Zemlar", "From iCloud Drive"), "fromSyncFolder")),
      fromFile_(button(QT_TRANSLATE_NOOP("Zemlar", "From File…"), "fromFile")),
      statusIcon_(ScreenStyle::label()), statusText_(ScreenStyle::label()),
      progress_(new QProgressBar),
      phoneSection_(new QGroupBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "iPhone")))),
      lastFromPhone_(ScreenStyle::label()), inboxProblemIcon_(ScreenStyle::label()),
      inboxProblem_(ScreenStyle::label()) {
    passphraseState_->setObjectName(QStringLiteral("passphraseState"));
    hint_->setObjectName(QStringLiteral("passphraseHint"));
    restoreSection_->setObjectName(QStringLiteral("restoreSection"));
    statusText_->setObjectName(QStringLiteral("status"));
    statusText_->setWordWrap(true);
    statusText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    phoneSection_->setObjectName(QStringLiteral("phoneSection"));
    lastFromPhone_->setObjectName(QStringLiteral("lastFromPhone"));
    inboxProblem_->setObjectName(QStringLiteral("inboxProblem"));
    inboxProblem_->setWordWrap(true);
    inboxProblemIcon_->setPixmap(warningSymbol(*this));
    checkBackup_->setToolTip(Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "Decrypts the backup and checks that every account would be restored with the "
                  "same codes")));
    progress_->setRange(0, 0);
    progress_->setTextVisible(false);
    progress_->setMaximumSize(120, 12);

    // The backup section: passphrase, writing and checking, restoring, the last operation.
    auto* backup =
        new QGroupBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Backup in iCloud Drive")));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(changeFolder_);
    folderRow->addWidget(openFolder_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Folder")), folderRow);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Status")), passphraseState_);
    form->addRow(passphraseLabel_, passphrase_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Repeat")), confirmation_);
    form->addRow(QString(), hint_);
    auto* setRow = new QHBoxLayout;
    setRow->addStretch();
    setRow->addWidget(setPassphrase_);
    form->addRow(setRow);

    auto* actions = new QHBoxLayout;
    actions->addWidget(backUpNow_);
    actions->addWidget(checkBackup_);
    actions->addStretch();

    auto* restoreLayout = new QFormLayout(restoreSection_);
    restoreLayout->setContentsMargins(0, 8, 0, 0);
    restoreLayout->setLabelAlignment(Qt::AlignRight);
    offer_ = ScreenStyle::label(Texts::text(
        QT_TRANSLATE_NOOP("Zemlar", "A backup was found in iCloud Drive, and there are no "
                                    "accounts yet. Enter the passphrase to restore them.")));
    offer_->setWordWrap(true);
    restoreLayout->addRow(offer_);
    restoreLayout->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Backup passphrase")),
                          restorePassphrase_);
    auto* restoreButtons = new QHBoxLayout;
    restoreButtons->addStretch();
    restoreButtons->addWidget(version_);
    restoreButtons->addWidget(fromSyncFolder_);
    restoreButtons->addWidget(fromFile_);
    restoreLayout->addRow(restoreButtons);

    auto* statusLine = new QHBoxLayout;
    statusLine->addWidget(statusIcon_, 0, Qt::AlignTop);
    statusLine->addWidget(progress_, 0, Qt::AlignVCenter);
    statusLine->addWidget(statusText_, 1);

    auto* backupLayout = new QVBoxLayout(backup);
    backupLayout->addLayout(form);
    backupLayout->addLayout(actions);
    backupLayout->addWidget(restoreSection_);
    backupLayout->addLayout(statusLine);

    // The phone section.
    auto* phoneLayout = new QFormLayout(phoneSection_);
    phoneLayout->setLabelAlignment(Qt::AlignRight);
    phoneLayout->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Last from iPhone")),
                        lastFromPhone_);
    auto* problemRow = new QHBoxLayout;
    problemRow->addWidget(inboxProblemIcon_, 0, Qt::AlignTop);
    problemRow->addWidget(inboxProblem_, 1);
    phoneLayout->addRow(problemRow);
    phoneLayout->addRow(ScreenStyle::caption(Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "Accounts added in Zemlar Mobile reach this Mac by themselves within a couple "
                  "of minutes."))));

    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(backup);
    contentLayout->addWidget(phoneSection_);
    contentLayout->addStretch();
    ScreenStyle::fillWithScrolling(this, content);

    chooseFile = [this] {
        QFileDialog dialog(
            this, Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Choose a backup file (.zemlar)")));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };

    chooseFolder = [this] { return askForFolder(this, model_.folder()); };
    confirmCopy = [this] { return askToCopy(this); };

    connect(changeFolder_, &QPushButton::clicked, this, &BackupView::changeFolder);
    connect(openFolder_, &QPushButton::clicked, this, &BackupView::openFolder);
    connect(passphrase_, &QLineEdit::textChanged, this, &BackupView::updateControls);
    connect(confirmation_, &QLineEdit::textChanged, this, &BackupView::updateControls);
    connect(restorePassphrase_, &QLineEdit::textChanged, this, &BackupView::updateControls);
    connect(setPassphrase_, &QPushButton::clicked, this, &BackupView::setPassphrase);
    connect(backUpNow_, &QPushButton::clicked, this, [this] { model_.backUpNow(); });
    connect(checkBackup_, &QPushButton::clicked, this, [this] { model_.verify(); });
    connect(fromSyncFolder_, &QPushButton::clicked, this, &BackupView::restoreFromSyncFolder);
    connect(fromFile_, &QPushButton::clicked, this, &BackupView::restoreFromFile);
    connect(&model_, &BackupModel::changed, this, &BackupView::render);
    render();
}

QString BackupView::passphraseHint(const QString& passphrase, const QString& confirmation,
                                   bool configured) {
    const auto problem = passphraseProblem(passphrase, confirmation);
    if (!problem) {
        return configured ? Texts::text(QT_TRANSLATE_NOOP(
                                "Zemlar", "Older backup versions stay encrypted with the old "
                                          "passphrase."))
                          : QString();
    }
    if (problem->kind() == BackupPassphraseProblem::Kind::tooShort) {
        return Texts::format(
            QT_TRANSLATE_NOOP("Zemlar", "At least %lld characters. The passphrase is not stored "
                                        "anywhere: without it the backup can't be opened."),
            {QString::number(static_cast<qlonglong>(problem->minimum()))});
    }
    return confirmation.isEmpty()
               ? QString()
               : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The passphrases don't match"));
}

void BackupView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    model_.refresh();
}

void BackupView::render() {
    const auto folder = model_.folder();
    folder_->setText(folder ? BackupModel::displayFolder(*folder) : QStringLiteral("—"));
    changeFolder_->setVisible(folder.has_value());
    openFolder_->setVisible(folder.has_value());
    const bool configured = model_.isConfigured();
    passphraseState_->setText(configured ? Texts::text(QT_TRANSLATE_NOOP("Zemlar", "set"))
                                         : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "not set")));
    passphraseLabel_->setText(configured
                                  ? Texts::text(QT_TRANSLATE_NOOP("Zemlar", "New passphrase"))
                                  : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Passphrase")));
    setPassphrase_->setText(configured
                                ? Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Change Passphrase"))
                                : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Set Passphrase")));
    offer_->setVisible(model_.offersRestore());
    fromSyncFolder_->setVisible(model_.hasBackupInFolder());
    renderVersions();
    renderStatus();

    phoneSection_->setVisible(model_.hasPhone());
    if (const auto& last = model_.lastInboxImport()) {
        lastFromPhone_->setText(QStringLiteral("%1 · %2")
                                    .arg(static_cast<qlonglong>(last->count))
                                    .arg(DisplayDate::abbreviated(last->date)));
    } else {
        lastFromPhone_->setText(QStringLiteral("—"));
    }
    const auto& problem = model_.inboxProblem();
    inboxProblem_->setText(problem.value_or(QString()));
    inboxProblem_->setVisible(problem.has_value());
    inboxProblemIcon_->setVisible(problem.has_value());
    updateControls();
}

void BackupView::renderStatus() {
    const auto& status = model_.status();
    using Kind = BackupModel::Status::Kind;
    progress_->setVisible(status.kind() == Kind::working);
    statusIcon_->setVisible(status.kind() == Kind::success || status.kind() == Kind::failure);
    statusText_->setVisible(status.kind() != Kind::working);
    QFont font = this->font();
    switch (status.kind()) {
    case Kind::idle:
        statusText_->setText(Texts::text(
            QT_TRANSLATE_NOOP("Zemlar", "Restoring never overwrites existing accounts.")));
        font.setPointSizeF(font.pointSizeF() * 0.85);
        statusText_->setStyleSheet(QString());
        statusText_->setForegroundRole(QPalette::PlaceholderText);
        break;
    case Kind::working:
        statusText_->clear();
        break;
    case Kind::success:
        statusIcon_->setPixmap(symbol(*this, "emblem-ok-symbolic", QStyle::SP_DialogApplyButton));
        statusText_->setText(status.text());
        statusText_->setForegroundRole(QPalette::WindowText);
        statusText_->setStyleSheet(QStringLiteral("color: #1a7f37;"));
        break;
    case Kind::failure:
        statusIcon_->setPixmap(warningSymbol(*this));
        statusText_->setText(status.text());
        statusText_->setForegroundRole(QPalette::WindowText);
        statusText_->setStyleSheet(QStringLiteral("color: red;"));
        break;
    }
    statusText_->setFont(font);
}

void BackupView::updateControls() {
    const bool working = model_.status().kind() == BackupModel::Status::Kind::working;
    hint_->setText(
        passphraseHint(passphrase_->text(), confirmation_->text(), model_.isConfigured()));
    const bool acceptable = !passphraseProblem(passphrase_->text(), confirmation_->text());
    setPassphrase_->setEnabled(acceptable && !working);
    changeFolder_->setEnabled(!working);
    backUpNow_->setEnabled(model_.isConfigured() && !working);
    checkBackup_->setEnabled(model_.isConfigured() && !working);
    const bool canRestore = !restorePassphrase_->text().isEmpty() && !working;
    fromSyncFolder_->setEnabled(canRestore);
    fromFile_->setEnabled(canRestore);
}

void BackupView::setPassphrase() {
    QString passphrase = SecretField::take(passphrase_);
    SecretField::empty(confirmation_);
    model_.setUp(std::move(passphrase));
}

void BackupView::restoreFromSyncFolder() {
    const QString archive = version_->currentData().toString();
    model_.restore(archive.isEmpty() ? BackupModel::RestoreSource::iCloudDrive()
                                     : BackupModel::RestoreSource::archive(archive.toStdString()),
                   SecretField::take(restorePassphrase_));
}

void BackupView::renderVersions() {
    const auto& archives = model_.archives();
    version_->setVisible(model_.hasBackupInFolder() && !archives.empty());
    if (listsArchives(*version_, archives)) {
        // Only the titles: the list may be open.
        for (std::size_t index = 0; index < archives.size(); ++index) {
            version_->setItemText(static_cast<int>(index) + 1, versionTitle(archives[index]));
        }
        return;
    }
    const QString chosen = version_->currentData().toString();
    version_->clear();
    version_->addItem(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Latest")), QString());
    for (const BackupModel::Archive& archive : archives) {
        version_->addItem(versionTitle(archive), QString::fromStdString(archive.name));
    }
    version_->setCurrentIndex(std::max(0, version_->findData(chosen)));
}

void BackupView::restoreFromFile() {
    const QString path = chooseFile ? chooseFile() : QString();
    if (path.isEmpty()) {
        return;
    }
    model_.restore(BackupModel::RestoreSource::file(path.toStdString()),
                   SecretField::take(restorePassphrase_));
}

void BackupView::changeFolder() {
    const QString chosen = chooseFolder ? chooseFolder() : QString();
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path to(chosen.toStdString());
    std::optional<bool> copy = false;
    if (model_.offersCopyTo(to) && confirmCopy) {
        copy = confirmCopy();
    }
    if (copy) {
        model_.chooseFolder(to, *copy);
    }
}

void BackupView::openFolder() {
    const auto folder = model_.folder();
    if (!folder) {
        return;
    }
    // A folder no backup was written to yet opens where it will be.
    std::filesystem::path shown = *folder;
    std::error_code error;
    while (!std::filesystem::is_directory(shown, error) && shown.has_parent_path() &&
           shown != shown.parent_path()) {
        shown = shown.parent_path();
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(shown.string())));
}

} // namespace zemlar
