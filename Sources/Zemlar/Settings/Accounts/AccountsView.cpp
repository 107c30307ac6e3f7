// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccountsView.hpp"

#include "AccountsModel.hpp"
#include "EditSheet.hpp"
#include "GroupsSheet.hpp"
#include "QRCodeSheet.hpp"
#include "RecoveryCodesSheet.hpp"

#include <OTPCore/AccountGrouping.hpp>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <ZemlarKit/RandomBytes.hpp>
#include <ZemlarScreens/ScreenStyle.hpp>
#include <ZemlarScreens/Texts.hpp>

namespace zemlar {
namespace {

constexpr int idRole = Qt::UserRole;

/// The two lines of an account's row.
QWidget* rowWidget(const Account& account) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->setSpacing(1);
    const std::string& first = account.issuer.empty() ? account.name : account.issuer;
    auto* title = ScreenStyle::label(QString::fromStdString(first), widget);
    title->setObjectName(QStringLiteral("title"));
    layout->addWidget(title);
    QStringList details;
    if (!account.issuer.empty() && !account.name.empty()) {
        details << QString::fromStdString(account.name);
    }
    QStringList domains;
    for (const auto& domain : account.domains) {
        domains << QString::fromStdString(domain);
    }
    if (!domains.isEmpty()) {
        details << domains.join(QStringLiteral(", "));
    }
    for (const auto& detail : details) {
        auto* label = ScreenStyle::caption(detail, widget);
        label->setWordWrap(false);
        layout->addWidget(label);
    }
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    return widget;
}

QString quoted(const char* before, const std::string& name) {
    return Texts::text(before) + QString::fromStdString(name) +
           Texts::text(QT_TRANSLATE_NOOP("Zemlar", "”?"));
}

} // namespace

AccountsView::AccountsView(AccountsModel& model, QWidget* parent)
    : QWidget(parent), model_(model), list_(new QTreeWidget(this)),
      empty_(ScreenStyle::label(Texts::text(
          QT_TRANSLATE_NOOP("Zemlar", "No accounts yet. Add them on the Import tab.")))),
      edit_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Edit…")), this)),
      delete_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Delete…")), this)),
      groups_(new QPushButton(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Groups…")), this)),
      error_(ScreenStyle::label({}, this)) {
    confirm = [this](const Confirmation& confirmation) {
        return Confirmation::ask(this, confirmation);
    };
    list_->setObjectName(QStringLiteral("accounts"));
    list_->setHeaderHidden(true);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setIndentation(12);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    empty_->setObjectName(QStringLiteral("noAccounts"));
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setWordWrap(true);
    empty_->setForegroundRole(QPalette::PlaceholderText);
    auto* overlay = new QVBoxLayout(list_->viewport());
    overlay->addWidget(empty_);
    edit_->setObjectName(QStringLiteral("edit"));
    delete_->setObjectName(QStringLiteral("delete"));
    groups_->setObjectName(QStringLiteral("groups"));
    error_->setObjectName(QStringLiteral("error"));
    error_->setStyleSheet(QStringLiteral("color: red;"));
    error_->setWordWrap(true);
    error_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addWidget(groups_);
    buttons->addStretch();
    buttons->addWidget(error_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const auto chosen = list_->selectedItems();
        selectedID_ = chosen.isEmpty()
                          ? std::nullopt
                          : UUID::parse(chosen.front()->data(0, idRole).toString().toStdString());
        updateButtons();
    });
    connect(list_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = list_->itemAt(at);
        const auto id =
            item ? UUID::parse(item->data(0, idRole).toString().toStdString()) : std::nullopt;
        const auto chosen = id ? account(*id) : std::nullopt;
        if (!chosen) {
            return;
        }
        select(chosen->id);
        QMenu* menu = makeContextMenu(*chosen, this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(list_->viewport()->mapToGlobal(at));
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (const auto chosen = selectedAccount()) {
            editAccount(*chosen);
        }
    });
    connect(edit_, &QPushButton::clicked, this, [this] {
        if (const auto chosen = selectedAccount()) {
            editAccount(*chosen);
        }
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        if (const auto chosen = selectedAccount()) {
            deleteAccount(*chosen);
        }
    });
    connect(groups_, &QPushButton::clicked, this, &AccountsView::openGroups);
    connect(&model_, &AccountsModel::changed, this, &AccountsView::render);
    render();
}

std::optional<Account> AccountsView::selectedAccount() const {
    return selectedID_ ? account(*selectedID_) : std::nullopt;
}

void AccountsView::select(const UUID& id) {
    const QString key = QString::fromStdString(id.uuidString());
    for (int section = 0; section < list_->topLevelItemCount(); ++section) {
        QTreeWidgetItem* header = list_->topLevelItem(section);
        for (int row = 0; row < header->childCount(); ++row) {
            if (header->child(row)->data(0, idRole).toString() == key) {
                list_->setCurrentItem(header->child(row));
                return;
            }
        }
    }
}

QMenu* AccountsView::makeContextMenu(const Account& chosen, QWidget* parent) {
    auto* menu = new QMenu(parent);
    QMenu* moving = menu->addMenu(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Move to Group")));
    auto* choice = new QActionGroup(moving);
    const auto addChoice = [&](const QString& title, std::optional<UUID> groupID) {
        QAction* action = moving->addAction(title);
        action->setCheckable(true);
        action->setChecked(chosen.groupID == groupID);
        choice->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, id = chosen.id, groupID] { model_.move(id, groupID); });
    };
    addChoice(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No Group")), std::nullopt);
    for (const auto& group : model_.groups()) {
        addChoice(QString::fromStdString(group.name), group.id);
    }
    connect(menu->addAction(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Edit…"))), &QAction::triggered,
            this, [this, chosen] { editAccount(chosen); });
    connect(menu->addAction(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Show QR Code…"))),
            &QAction::triggered, this, [this, chosen] { showQRCode(chosen); });
    connect(menu->addAction(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Recovery Codes…"))),
            &QAction::triggered, this, [this, chosen] { openRecoveryCodes(chosen); });
    menu->addSeparator();
    QAction* deleting = menu->addAction(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Delete…")));
    deleting->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete")));
    connect(deleting, &QAction::triggered, this, [this, chosen] { deleteAccount(chosen); });
    return menu;
}

void AccountsView::editAccount(const Account& chosen) {
    openSheet(new EditSheet(model_, chosen, this));
}

void AccountsView::openRecoveryCodes(const Account& chosen) {
    openSheet(new RecoveryCodesSheet(model_, chosen, this));
}

void AccountsView::openGroups() {
    openSheet(new GroupsSheet(model_, this));
}

QCoro::Task<> AccountsView::deleteAccount(Account chosen) {
    const bool confirmed = confirm(Confirmation{
        .title =
            quoted(QT_TRANSLATE_NOOP("Zemlar", "Delete account “"), AccountTitle::make(chosen)),
        .message = Texts::text(
            QT_TRANSLATE_NOOP("Zemlar", "The secret will be removed from the keychain. The account "
                                        "can then be restored only from an earlier backup "
                                        "version.")),
        .confirmButton = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Delete")),
        .destructive = true});
    if (!confirmed) {
        co_return;
    }
    QCoro::Task<> removing = model_.remove(chosen.id);
    co_await removing;
}

QCoro::Task<> AccountsView::showQRCode(Account chosen) {
    const std::string title = AccountTitle::make(chosen);
    const bool confirmed = confirm(Confirmation{
        .title = quoted(QT_TRANSLATE_NOOP("Zemlar", "Show the QR code of “"), title),
        .message = Texts::text(QT_TRANSLATE_NOOP(
            "Zemlar", "The QR code contains the secret key. Use it to move the account to "
                      "another authenticator; make sure nobody else can see the screen.")),
        .confirmButton = Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Show QR Code")),
        .destructive = false});
    if (!confirmed) {
        co_return;
    }
    QPointer<AccountsView> alive(this);
    QCoro::Task<std::optional<Bytes>> pending = model_.qrCode(chosen);
    std::optional<Bytes> png = co_await pending;
    if (alive && png) {
        openSheet(new QRCodeSheet(
            ShownQRCode{.id = RandomBytes::uuid(), .title = title, .png = std::move(*png)}, this));
    }
}

void AccountsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    model_.reload(); // runs on by itself; the list follows the model
}

void AccountsView::render() {
    const std::optional<UUID> keep = selectedID_;
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const auto& section : AccountGrouping::sections(model_.accounts(), model_.groups())) {
        auto* header = new QTreeWidgetItem(list_);
        header->setText(0, section.group ? QString::fromStdString(section.group->name)
                                         : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No Group")));
        header->setFlags(Qt::ItemIsEnabled);
        QFont bold = header->font(0);
        bold.setBold(true);
        header->setFont(0, bold);
        header->setSizeHint(0, QSize(0, QFontMetrics(bold).height() + 12));
        header->setTextAlignment(0, Qt::AlignLeft | Qt::AlignBottom);
        if (section.accounts.empty()) {
            auto* none = new QTreeWidgetItem(header);
            none->setText(0, Texts::text(QT_TRANSLATE_NOOP("Zemlar", "No accounts in this group")));
            none->setFlags(Qt::ItemIsEnabled);
            none->setForeground(0, palette().brush(QPalette::PlaceholderText));
        }
        for (const auto& each : section.accounts) {
            auto* row = new QTreeWidgetItem(header);
            row->setData(0, idRole, QString::fromStdString(each.id.uuidString()));
            row->setData(0, Qt::AccessibleTextRole,
                         QString::fromStdString(AccountTitle::make(each)));
            QWidget* widget = rowWidget(each);
            row->setSizeHint(0, widget->sizeHint());
            list_->setItemWidget(row, 0, widget);
        }
    }
    list_->expandAll();
    selectedID_.reset();
    if (keep && account(*keep)) {
        selectedID_ = keep;
        select(*keep);
    }
    empty_->setVisible(model_.accounts().empty());
    error_->setText(model_.errorMessage().value_or(QString()));
    error_->setVisible(model_.errorMessage().has_value());
    updateButtons();
}

void AccountsView::updateButtons() {
    const bool chosen = selectedAccount().has_value();
    edit_->setEnabled(chosen);
    delete_->setEnabled(chosen);
}

void AccountsView::openSheet(QDialog* sheet) {
    if (sheet_) {
        sheet_->close();
    }
    sheet_ = sheet;
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->open();
}

std::optional<Account> AccountsView::account(const UUID& id) const {
    for (const auto& each : model_.accounts()) {
        if (each.id == id) {
            return each;
        }
    }
    return std::nullopt;
}

} // namespace zemlar
