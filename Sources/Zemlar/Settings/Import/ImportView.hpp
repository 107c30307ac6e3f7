// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ImportModel.hpp"

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

namespace zemlar {

/// The Import tab: the two import buttons, the manual form and the outcome of the last action,
/// re-rendered from the model on each of its changes.
class ImportView : public QWidget {
    Q_OBJECT

public:
    /// Asks the user for one file to import; nothing when cancelled.
    using FileChooser = std::function<std::optional<std::filesystem::path>(QWidget* parent)>;

    explicit ImportView(ImportModel& model, QWidget* parent = nullptr);

    /// The modal open panel: one existing file, images and text files.
    static std::optional<std::filesystem::path> chooseFile(QWidget* parent);
    /// Replaces the open panel (tests).
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    /// Runs the file chooser and imports the chosen file.
    void importFromFile();

    /// Asks for an export's password in our password dialog; nothing when cancelled.
    std::optional<std::string> askExportPassword();

    QPushButton* clipboardButton() const { return clipboard_; }
    QPushButton* fileButton() const { return file_; }
    QLineEdit* issuerField() const { return issuer_; }
    QLineEdit* nameField() const { return name_; }
    QLineEdit* secretField() const { return secret_; }
    QToolButton* advancedToggle() const { return advancedToggle_; }
    QWidget* advancedGroup() const { return advanced_; }
    QComboBox* algorithmPicker() const { return algorithm_; }
    QComboBox* digitsPicker() const { return digits_; }
    QSpinBox* periodStepper() const { return period_; }
    QPushButton* addButton() const { return add_; }
    /// The result area, rebuilt for every status.
    QWidget* results() const { return results_; }

protected:
    /// A single local file dropped on the screen is imported like a chosen one.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void render();
    void renderForm();
    void renderResults();
    void takeForm();

    ImportModel& model_;
    FileChooser chooseFile_ = &ImportView::chooseFile;
    QPushButton* clipboard_;
    QPushButton* file_;
    QLineEdit* issuer_;
    QLineEdit* name_;
    QLineEdit* secret_;
    QToolButton* advancedToggle_;
    QWidget* advanced_;
    QComboBox* algorithm_;
    QComboBox* digits_;
    QSpinBox* period_;
    QPushButton* add_;
    QWidget* results_;
    QVBoxLayout* resultsLayout_;
    std::optional<ImportStatus> shownStatus_;
};

} // namespace zemlar
