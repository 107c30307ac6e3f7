// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/SettingsView.hpp"

#include "ZemlarScreens/GeneralSettingsView.hpp"
#include "ZemlarScreens/Texts.hpp"

#include <QIcon>
#include <QVBoxLayout>
#include <utility>

namespace zemlar {

namespace {

struct TabEntry {
    SettingsTab tab;
    const char* label;
    const char* icon;
};

constexpr TabEntry tabs[] = {
    {SettingsTab::accounts, QT_TRANSLATE_NOOP("Zemlar", "Accounts"), "system-users"},
    {SettingsTab::importing, QT_TRANSLATE_NOOP("Zemlar", "Import"), "scanner"},
    {SettingsTab::backup, QT_TRANSLATE_NOOP("Zemlar", "Backup"), "drive-harddisk"},
    {SettingsTab::general, QT_TRANSLATE_NOOP("Zemlar", "General"), "preferences-system"},
};

int tabIndex(SettingsTab tab) {
    return static_cast<int>(tab);
}

} // namespace

SettingsView::SettingsView(SettingsNavigation& navigation, SessionLock& sessionLock,
                           KeyboardShortcuts::Name togglePanel, QWidget* parent)
    : QTabWidget(parent), navigation_(navigation),
      general_(new GeneralSettingsView(sessionLock, std::move(togglePanel))) {
    for (const TabEntry& entry : tabs) {
        QWidget* page = entry.tab == SettingsTab::general ? general_ : new QWidget();
        addTab(page, QIcon::fromTheme(QString::fromLatin1(entry.icon)),
               Texts::text(entry.label));
    }
    setFixedSize(540, 480);
    setCurrentIndex(tabIndex(navigation_.tab()));
    connect(&navigation_, &SettingsNavigation::tabChanged, this,
            [this](SettingsTab tab) { setCurrentIndex(tabIndex(tab)); });
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0) {
            navigation_.setTab(static_cast<SettingsTab>(index));
        }
    });
}

void SettingsView::setScreen(SettingsTab tab, QWidget* screen) {
    const int index = tabIndex(tab);
    const bool showing = currentIndex() == index;
    QWidget* old = widget(index);
    const QIcon icon = tabIcon(index);
    const QString label = tabText(index);
    blockSignals(true);
    removeTab(index);
    insertTab(index, screen, icon, label);
    if (showing) {
        setCurrentIndex(index);
    }
    blockSignals(false);
    if (old != general_) {
        old->deleteLater();
    } else {
        general_ = nullptr;
    }
}

QWidget* SettingsView::screen(SettingsTab tab) const {
    return widget(tabIndex(tab));
}

SettingsWindow::SettingsWindow(SettingsNavigation& navigation, SessionLock& sessionLock,
                               KeyboardShortcuts::Name togglePanel, QWidget* parent)
    : QWidget(parent, Qt::Window),
      view_(new SettingsView(navigation, sessionLock, std::move(togglePanel))) {
    setWindowTitle(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Zemlar Settings")));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace zemlar
