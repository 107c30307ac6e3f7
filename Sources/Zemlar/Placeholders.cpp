// SPDX-License-Identifier: GPL-3.0-or-later
#include "Placeholders.hpp"

#include "Texts.hpp"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zemlar {

QCoro::Task<bool> SessionLock::unlock() {
    co_return true;
}

QWidget* makeSettingsWindow() {
    auto* window =
        new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(Texts::text("Zemlar Settings"));
    auto* tabs = new QTabWidget(window);
    for (const char* title : {"Accounts", "Import", "Backup", "General"}) {
        tabs->addTab(new QWidget(tabs), Texts::text(title));
    }
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(tabs);
    window->resize(640, 480);
    return window;
}

QWidget* makeAboutWindow() {
    auto* window =
        new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(Texts::text("About Zemlar"));
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(new QLabel(QStringLiteral("Zemlar"), window));
    return window;
}

} // namespace zemlar
