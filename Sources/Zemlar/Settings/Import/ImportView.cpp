// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportView.hpp"

#include <OTPCore/OTPAlgorithm.hpp>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <ZemlarKit/SecretText.hpp>
#include <ZemlarScreens/PasswordDialog.hpp>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {
namespace {

QLabel* named(QLabel* label, const char* name) {
    label->setObjectName(QLatin1String(name));
    return label;
}

void setTextIfChanged(QLineEdit* field, const std::string& text) {
    QString value = QString::fromStdString(text);
    if (field->text() != value) {
        field->setText(value);
    }
    SecretText::wipe(value); // a no-op once the field shares it
}

/// The field's text in `text`, leaving no unwiped copy of the old or the new value behind.
void takeSecret(const QLineEdit* field, std::string& text) {
    const Crypto::WipedText typed = SecretText::utf8(field->text());
    if (typed.value() != text) {
        Crypto::wipe(text);
        text.assign(typed.value());
    }
}

/// The one local file the drag carries; nothing for several files or anything else.
std::optional<std::filesystem::path> droppedFile(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    return std::filesystem::path(data->urls().front().toLocalFile().toStdString());
}

} // namespace

ImportView::ImportView(ImportModel& model, QWidget* parent)
    : QWidget(parent), model_(model),
      clipboard_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "From Clipboard")))),
      file_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "From File…")))),
      issuer_(new QLineEdit), name_(new QLineEdit), secret_(new QLineEdit),
      advancedToggle_(new QToolButton), advanced_(new QWidget), algorithm_(new QComboBox),
      digits_(new QComboBox), period_(new QSpinBox),
      add_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Add")))), results_(new QWidget),
      resultsLayout_(new QVBoxLayout(results_)) {
    clipboard_->setObjectName(QStringLiteral("fromClipboard"));
    file_->setObjectName(QStringLiteral("fromFile"));
    issuer_->setObjectName(QStringLiteral("issuer"));
    name_->setObjectName(QStringLiteral("name"));
    secret_->setObjectName(QStringLiteral("secret"));
    advancedToggle_->setObjectName(QStringLiteral("advanced"));
    algorithm_->setObjectName(QStringLiteral("algorithm"));
    digits_->setObjectName(QStringLiteral("digits"));
    period_->setObjectName(QStringLiteral("period"));
    add_->setObjectName(QStringLiteral("add"));
    results_->setObjectName(QStringLiteral("results"));

    // Sources.
    auto* sources = new QGroupBox;
    auto* sourcesLayout = new QVBoxLayout(sources);
    sourcesLayout->addWidget(ScreenStyle::secondary(Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "Supported: otpauth://totp/… links, QR codes from websites, Google "
                  "Authenticator export QR codes, and text export files with one link per "
                  "line."))));
    sourcesLayout->addWidget(ScreenStyle::secondary(Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "Also the export files of Aegis, 2FAS, andOTP, FreeOTP, FreeOTP+ and "
                  "LastPass Authenticator. Drop a file here or choose one."))));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clipboard_);
    buttons->addWidget(file_);
    buttons->addStretch();
    sourcesLayout->addLayout(buttons);
    sourcesLayout->addWidget(ScreenStyle::caption(Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "An export file contains the keys in plain text: delete it after importing."))));

    // The manual form.
    auto* manual = new QGroupBox(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Add Manually")));
    auto* form = new QFormLayout(manual);
    form->setLabelAlignment(Qt::AlignRight);
    issuer_->setPlaceholderText(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "GitHub")));
    name_->setPlaceholderText(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "you@example.com")));
    secret_->setPlaceholderText(
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Base32; spaces and hyphens are allowed")));
    secret_->setEchoMode(QLineEdit::Password);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Issuer")), issuer_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Name")), name_);
    form->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Secret key")), secret_);

    advancedToggle_->setText(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Advanced")));
    advancedToggle_->setCheckable(true);
    advancedToggle_->setAutoRaise(true);
    advancedToggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    advancedToggle_->setArrowType(Qt::RightArrow);
    form->addRow(advancedToggle_);
    for (const auto algorithm : OTPAlgorithms::allCases) {
        algorithm_->addItem(QString::fromUtf8(OTPAlgorithms::rawValue(algorithm).data()),
                            static_cast<int>(algorithm));
    }
    for (int digits = 6; digits <= 8; ++digits) {
        digits_->addItem(QString::number(digits), digits);
    }
    // The stepper shows the whole "Period: … s" around its number.
    const QString marked = Texts::fill(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Period: %lld s")),
                                       {QStringLiteral("\x01")});
    const auto marker = marked.indexOf(QChar(0x01));
    period_->setPrefix(marked.left(marker));
    period_->setSuffix(marked.mid(marker + 1));
    period_->setRange(static_cast<int>(ImportForm::minimumPeriod),
                      static_cast<int>(ImportForm::maximumPeriod));
    period_->setSingleStep(static_cast<int>(ImportForm::periodStep));
    auto* advancedLayout = new QFormLayout(advanced_);
    advancedLayout->setLabelAlignment(Qt::AlignRight);
    advancedLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    advancedLayout->setContentsMargins(0, 0, 0, 0);
    advancedLayout->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Algorithm")), algorithm_);
    advancedLayout->addRow(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Code length")), digits_);
    advancedLayout->addRow(QString(), period_);
    advanced_->setVisible(false);
    form->addRow(advanced_);
    auto* addRow = new QHBoxLayout;
    addRow->addStretch();
    addRow->addWidget(add_);
    form->addRow(addRow);

    // The outcome.
    resultsLayout_->setContentsMargins(0, 0, 0, 0);

    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(sources);
    contentLayout->addWidget(manual);
    contentLayout->addWidget(results_);
    contentLayout->addStretch();
    ScreenStyle::fillWithScrolling(this, content);

    connect(clipboard_, &QPushButton::clicked, this, [this] { model_.importFromClipboard(); });
    connect(file_, &QPushButton::clicked, this, [this] { importFromFile(); });
    connect(add_, &QPushButton::clicked, this, [this] {
        if (model_.canAdd()) {
            model_.addFromForm();
        }
    });
    connect(advancedToggle_, &QToolButton::toggled, this, [this](bool open) {
        advancedToggle_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        advanced_->setVisible(open);
    });
    for (auto* field : {issuer_, name_, secret_}) {
        connect(field, &QLineEdit::textEdited, this, [this] { takeForm(); });
    }
    connect(algorithm_, &QComboBox::currentIndexChanged, this, [this] { takeForm(); });
    connect(digits_, &QComboBox::currentIndexChanged, this, [this] { takeForm(); });
    connect(period_, &QSpinBox::valueChanged, this, [this] { takeForm(); });
    connect(&model_, &ImportModel::changed, this, [this] { render(); });
    model_.passwordPrompt = [view = QPointer<ImportView>(this)]() -> std::optional<std::string> {
        return view ? view->askExportPassword() : std::nullopt;
    };
    setAcceptDrops(true);
    render();
}

std::optional<std::string> ImportView::askExportPassword() {
    PasswordDialog dialog(this);
    dialog.begin(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "open a password-protected export")), {});
    auto answer = dialog.askSecret(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Password:")), false);
    dialog.end(answer.has_value());
    if (!answer) {
        return std::nullopt;
    }
    const Crypto::WipedText password = SecretText::utf8(*answer);
    SecretText::wipe(*answer);
    return password.value();
}

void ImportView::dragEnterEvent(QDragEnterEvent* event) {
    if (!model_.isWorking() && droppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void ImportView::dropEvent(QDropEvent* event) {
    const auto dropped = droppedFile(event->mimeData());
    if (model_.isWorking() || !dropped) {
        return;
    }
    event->acceptProposedAction();
    model_.importFile(*dropped);
}

std::optional<std::filesystem::path> ImportView::chooseFile(QWidget* parent) {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    }
    patterns.append({QStringLiteral("*.txt"), QStringLiteral("*.text")});
    const QString message = Texts::text(QT_TRANSLATE_NOOP(
        "Zemlar", "An image with a QR code or a text file with otpauth:// links"));
    // Any file may be chosen: its content, not its name, says what it is.
    const QString filters =
        message + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(");;") +
        Texts::text(QT_TRANSLATE_NOOP("Zemlar", "All files")) + QStringLiteral(" (*)");
    const QString chosen = QFileDialog::getOpenFileName(parent, message, QString(), filters);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdString());
}

void ImportView::importFromFile() {
    if (model_.isWorking()) {
        return;
    }
    if (const auto chosen = chooseFile_(this)) {
        model_.importFile(*chosen);
    }
}

void ImportView::render() {
    clipboard_->setEnabled(!model_.isWorking());
    file_->setEnabled(!model_.isWorking());
    renderForm();
    if (shownStatus_ != model_.status()) {
        shownStatus_ = model_.status();
        renderResults();
    }
}

void ImportView::renderForm() {
    const ImportForm& form = model_.form;
    const QSignalBlocker blockAlgorithm(algorithm_);
    const QSignalBlocker blockDigits(digits_);
    const QSignalBlocker blockPeriod(period_);
    setTextIfChanged(issuer_, form.issuer);
    setTextIfChanged(name_, form.name);
    setTextIfChanged(secret_, form.secret);
    algorithm_->setCurrentIndex(algorithm_->findData(static_cast<int>(form.algorithm)));
    digits_->setCurrentIndex(digits_->findData(static_cast<int>(form.digits)));
    period_->setValue(static_cast<int>(form.period));
    add_->setEnabled(model_.canAdd());
}

void ImportView::takeForm() {
    ImportForm& form = model_.form;
    form.issuer = issuer_->text().toStdString();
    form.name = name_->text().toStdString();
    takeSecret(secret_, form.secret);
    form.algorithm = static_cast<OTPAlgorithm>(algorithm_->currentData().toInt());
    form.digits = digits_->currentData().toInt();
    form.period = period_->value();
    add_->setEnabled(model_.canAdd());
}

void ImportView::renderResults() {
    while (QLayoutItem* item = resultsLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const ImportStatus& status = model_.status();
    switch (status.kind()) {
    case ImportStatus::Kind::idle:
        return;
    case ImportStatus::Kind::working: {
        auto* progress = new QProgressBar;
        progress->setObjectName(QStringLiteral("progress"));
        progress->setRange(0, 0);
        progress->setTextVisible(false);
        resultsLayout_->addWidget(progress);
        return;
    }
    case ImportStatus::Kind::failed: {
        auto* row = new QWidget;
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto* symbol = ScreenStyle::label();
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
        symbol->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size));
        auto* text = named(ScreenStyle::label(model_.failureText().value_or(QString())), "failure");
        text->setWordWrap(true);
        text->setStyleSheet(QStringLiteral("color: red;"));
        rowLayout->addWidget(symbol);
        rowLayout->addWidget(text, 1);
        resultsLayout_->addWidget(row);
        return;
    }
    case ImportStatus::Kind::done:
        break;
    }
    if (const auto empty = model_.emptyResultText()) {
        resultsLayout_->addWidget(named(ScreenStyle::label(*empty), "noAccounts"));
        return;
    }
    auto* added = new QGroupBox(model_.addedHeader());
    added->setObjectName(QStringLiteral("added"));
    auto* addedLayout = new QFormLayout(added);
    for (const QString& title : model_.addedTitles()) {
        auto* check = ScreenStyle::label(QStringLiteral("✓"));
        check->setStyleSheet(QStringLiteral("color: green;"));
        addedLayout->addRow(check, named(ScreenStyle::label(title), "addedTitle"));
    }
    resultsLayout_->addWidget(added);

    auto* skipped = new QGroupBox(model_.skippedHeader());
    skipped->setObjectName(QStringLiteral("skipped"));
    auto* skippedLayout = new QFormLayout(skipped);
    skippedLayout->setLabelAlignment(Qt::AlignLeft);
    for (const auto& row : model_.skippedRows()) {
        skippedLayout->addRow(named(ScreenStyle::label(row.title), "skippedTitle"),
                              named(ScreenStyle::secondary(row.reason), "skipReason"));
    }
    resultsLayout_->addWidget(skipped);

    for (const QString& text : model_.migrationTexts()) {
        auto* label = named(ScreenStyle::label(text), "migrationPart");
        label->setWordWrap(true);
        resultsLayout_->addWidget(label);
    }
}

} // namespace zemlar
