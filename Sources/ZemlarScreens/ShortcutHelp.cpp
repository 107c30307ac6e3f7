// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/ShortcutHelp.hpp"

#include "ZemlarScreens/ScreenStyle.hpp"
#include "ZemlarScreens/Texts.hpp"

#include <KeyboardShortcuts/HotKeyBackend.hpp>
#include <KeyboardShortcuts/Notifier.hpp>
#include <Portal/PortalHotKeys.hpp>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <Wayland/DataControl.hpp>
#include <Wayland/GnomeCustomShortcut.hpp>
#include <Wayland/ShortcutSetup.hpp>

namespace zemlar {
namespace {

bool inWaylandSession() {
    return QGuiApplication::platformName() == QLatin1String("wayland");
}

/// Asked once: a data-control connection of its own tells whether the compositor offers it.
bool clipboardClears() {
    static const bool clears = DataControl::connect() != nullptr;
    return clears;
}

QString command() {
    return QString::fromLatin1(ShortcutSetup::command);
}

} // namespace

ShortcutHelp::ShortcutHelp(KeyboardShortcuts::Name togglePanel, QWidget* parent)
    : QWidget(parent), togglePanel_(std::move(togglePanel)),
      instructions_(ScreenStyle::caption(QString(), this)), configLine_(new QLineEdit(this)),
      addToGnome_(new QPushButton(
          Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Add the Shortcut to GNOME…")), this)),
      clipboardNote_(ScreenStyle::caption(
          Texts::text(QT_TRANSLATE_NOOP("Zemlar", "This desktop does not let Zemlar clear the "
                                                  "clipboard: a copied code stays there until "
                                                  "something else is copied.")),
          this)) {
    instructions_->setObjectName(QStringLiteral("shortcutInstructions"));
    configLine_->setObjectName(QStringLiteral("shortcutConfigLine"));
    addToGnome_->setObjectName(QStringLiteral("addShortcutToGnome"));
    clipboardNote_->setObjectName(QStringLiteral("clipboardNote"));
    configLine_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* part :
         {static_cast<QWidget*>(instructions_), static_cast<QWidget*>(configLine_),
          static_cast<QWidget*>(addToGnome_), static_cast<QWidget*>(clipboardNote_)}) {
        layout->addWidget(part);
    }
    connect(addToGnome_, &QPushButton::clicked, this, &ShortcutHelp::addGnomeShortcut);
    connect(&KeyboardShortcuts::Notifier::instance(),
            &KeyboardShortcuts::Notifier::shortcutByNameDidChange, this,
            [this](const QString& rawValue) {
                if (rawValue == togglePanel_.rawValue) {
                    refresh();
                }
            });
    // The desktop's choice may come, or change, while the tab is open.
    if (auto* portal = dynamic_cast<PortalHotKeys*>(KeyboardShortcuts::hotKeyBackend().get())) {
        connect(&portal->portal(), &GlobalShortcutsPortal::triggersChanged, this,
                &ShortcutHelp::refresh);
    }
    refresh();
}

void ShortcutHelp::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void ShortcutHelp::refresh() {
    const auto backend = KeyboardShortcuts::hotKeyBackend();
    const auto desktop = ShortcutSetup::detect(inWaylandSession(), backend != nullptr,
                                               qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    setVisible(desktop != ShortcutSetup::Desktop::x11);
    const auto shortcut = KeyboardShortcuts::getShortcut(togglePanel_);
    const auto setup = shortcut ? ShortcutSetup::make(desktop, *shortcut) : ShortcutSetup{};
    QString text;
    if (desktop == ShortcutSetup::Desktop::portal) {
        const auto chosen = backend->assignedTrigger(togglePanel_.rawValue);
        text = chosen ? Texts::format(QT_TRANSLATE_NOOP("Zemlar", "The desktop set the shortcut "
                                                                  "to %@."),
                                      {*chosen})
                      : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The desktop asks you to confirm "
                                                                "the shortcut."));
    } else if (desktop == ShortcutSetup::Desktop::gnome) {
        text = Texts::format(QT_TRANSLATE_NOOP("Zemlar", "GNOME runs the shortcut as a custom "
                                                         "shortcut with the command %@."),
                             {command()});
    } else if (setup.configLine) {
        text =
            Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Add this line to %@:"), {setup.configFile});
    } else {
        text = Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Bind the command %@ to a shortcut in "
                                                         "your desktop's keyboard settings."),
                             {command()});
    }
    instructions_->setText(text);
    configLine_->setText(setup.configLine.value_or(QString()));
    configLine_->setVisible(setup.configLine.has_value());
    addToGnome_->setVisible(desktop == ShortcutSetup::Desktop::gnome &&
                            GnomeCustomShortcut::available());
    clipboardNote_->setVisible(desktop != ShortcutSetup::Desktop::x11 && !clipboardClears());
}

void ShortcutHelp::addGnomeShortcut() {
    const auto shortcut = KeyboardShortcuts::getShortcut(togglePanel_);
    const auto binding = shortcut ? ShortcutSetup::gnomeBinding(*shortcut) : std::nullopt;
    if (!binding) {
        return;
    }
    const auto answer = QMessageBox::question(
        this, QString(),
        Texts::format(QT_TRANSLATE_NOOP("Zemlar", "Add %@ to GNOME's keyboard shortcuts? It runs "
                                                  "%@; your other custom shortcuts stay as they "
                                                  "are."),
                      {shortcut->description(), command()}));
    if (answer != QMessageBox::Yes) {
        return;
    }
    const bool added =
        GnomeCustomShortcut::add("Zemlar", ShortcutSetup::command, binding->toStdString());
    instructions_->setText(
        added ? Texts::text(QT_TRANSLATE_NOOP("Zemlar", "The shortcut is in GNOME's keyboard "
                                                        "settings."))
              : Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Couldn't add the shortcut to GNOME.")));
}

} // namespace zemlar
