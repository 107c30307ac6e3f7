// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QGroupBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zemlar {

class BackupModel;

/// The Backup screen: the passphrase, writing and checking the backup, restoring when there is
/// nothing yet, the state of the last operation and what arrived from the phone. Redraws from
/// the model on every change and refreshes it each time it is shown.
class BackupView : public QWidget {
    Q_OBJECT

public:
    explicit BackupView(BackupModel& model, QWidget* parent = nullptr);

    /// The line under the two passphrase fields: the length rule, the mismatch once something
    /// is repeated, or the note about older versions when a passphrase is being changed.
    static QString passphraseHint(const QString& passphrase, const QString& confirmation,
                                  bool configured);

    /// Asks for the backup file to restore from; an empty path means the user cancelled.
    /// Runs a file dialog unless replaced (tests replace it).
    std::function<QString()> chooseFile;
    /// Asks for a new backup folder; empty when the user cancels.
    std::function<QString()> chooseFolder;
    /// Asks whether to copy the backups into the chosen folder, which has none yet; nothing
    /// cancels the change.
    std::function<std::optional<bool>()> confirmCopy;

    /// The controls, by the names a test or a screenshot finds them with.
    QLabel* folderLabel() const { return folder_; }
    QPushButton* changeFolderButton() const { return changeFolder_; }
    QLabel* passphraseState() const { return passphraseState_; }
    QLabel* passphraseLabel() const { return passphraseLabel_; }
    QLineEdit* passphraseField() const { return passphrase_; }
    QLineEdit* confirmationField() const { return confirmation_; }
    QLabel* hint() const { return hint_; }
    QPushButton* setPassphraseButton() const { return setPassphrase_; }
    QPushButton* backUpNowButton() const { return backUpNow_; }
    QPushButton* checkBackupButton() const { return checkBackup_; }
    QWidget* restoreSection() const { return restoreSection_; }
    QLabel* restoreOffer() const { return offer_; }
    QLineEdit* restorePassphraseField() const { return restorePassphrase_; }
    QPushButton* fromSyncFolderButton() const { return fromSyncFolder_; }
    QComboBox* versionChoice() const { return version_; }
    QPushButton* fromFileButton() const { return fromFile_; }
    QLabel* statusIcon() const { return statusIcon_; }
    QLabel* statusText() const { return statusText_; }
    QProgressBar* progress() const { return progress_; }
    QGroupBox* phoneSection() const { return phoneSection_; }
    QLabel* lastFromPhone() const { return lastFromPhone_; }
    QLabel* inboxProblem() const { return inboxProblem_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void render();
    void renderStatus();
    void updateControls();
    void setPassphrase();
    void restoreFromSyncFolder();
    void renderVersions();
    void restoreFromFile();
    void changeFolder();
    void openFolder();

    BackupModel& model_;
    QLabel* folder_;
    QPushButton* changeFolder_;
    QPushButton* openFolder_;
    QLabel* passphraseState_;
    QLabel* passphraseLabel_;
    QLineEdit* passphrase_;
    QLineEdit* confirmation_;
    QLabel* hint_;
    QPushButton* setPassphrase_;
    QPushButton* backUpNow_;
    QPushButton* checkBackup_;
    QWidget* restoreSection_;
    QLabel* offer_ = nullptr;
    QLineEdit* restorePassphrase_;
    QComboBox* version_;
    QPushButton* fromSyncFolder_;
    QPushButton* fromFile_;
    QLabel* statusIcon_;
    QLabel* statusText_;
    QProgressBar* progress_;
    QGroupBox* phoneSection_;
    QLabel* lastFromPhone_;
    QLabel* inboxProblemIcon_;
    QLabel* inboxProblem_;
};

} // namespace zemlar
