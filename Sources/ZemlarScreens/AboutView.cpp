// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarScreens/AboutView.hpp"

#include "ZemlarScreens/Texts.hpp"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <utility>

namespace zemlar {

namespace {

QLabel* centred(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    return label;
}

QLabel* secondary(QLabel* label, bool small) {
    label->setForegroundRole(QPalette::PlaceholderText);
    if (small) {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 0.85);
        label->setFont(font);
    }
    return label;
}

} // namespace

AboutView::AboutView(QString version, QStringList preferredLanguages, QWidget* parent)
    : QWidget(parent) {
    setFixedWidth(340);
    auto* layout = new QVBoxLayout(this);
    layout->setAlignment(Qt::AlignHCenter);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setAlignment(Qt::AlignHCenter);
    icon->setPixmap(QApplication::windowIcon().pixmap(96, 96));
    icon->setFixedHeight(96);
    layout->addWidget(icon);

    auto* name = centred(QStringLiteral("Zemlar"), this);
    QFont title = name->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.6);
    name->setFont(title);
    layout->addWidget(name);

    version_ = secondary(centred(Texts::text(QT_TRANSLATE_NOOP("Zemlar", "Version ")) +
                                     (version.isEmpty() ? QStringLiteral("—") : version),
                                 this),
                         false);
    version_->setObjectName(QStringLiteral("version"));
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(version_);

    layout->addWidget(centred(
        Texts::text(QT_TRANSLATE_NOOP(
            "Zemlar", "Two-factor authentication codes right from the menu bar: open the panel "
                      "with a shortcut, find the account and type the code into the field with "
                      "one keystroke.")),
        this));
    layout->addWidget(secondary(
        centred(Texts::text(QT_TRANSLATE_NOOP(
                    "Zemlar", "Secrets are kept only in this Mac's keychain. The backup is an "
                              "encrypted file in iCloud Drive.")),
                this),
        true));

    const QString site = siteFor(preferredLanguages);
    site_ = centred(QStringLiteral("<a href=\"%1\">%1</a>").arg(site.toHtmlEscaped()), this);
    site_->setObjectName(QStringLiteral("site"));
    site_->setTextFormat(Qt::RichText);
    site_->setOpenExternalLinks(true);
    layout->addWidget(site_);

    auto* rights = secondary(centred(QString::fromUtf8(copyright), this), true);
    rights->setObjectName(QStringLiteral("copyright"));
    layout->addWidget(rights);
}

QString AboutView::defaultVersion() {
    return QCoreApplication::applicationVersion();
}

QStringList AboutView::defaultPreferredLanguages() {
    return QLocale::system().uiLanguages();
}

QString AboutView::siteFor(const QStringList& preferredLanguages) {
    const bool russian = !preferredLanguages.isEmpty() &&
                         (preferredLanguages.first() == QStringLiteral("ru") ||
                          preferredLanguages.first().startsWith(QStringLiteral("ru-")) ||
                          preferredLanguages.first().startsWith(QStringLiteral("ru_")));
    return QString::fromLatin1(russian ? russianSiteAddress : siteAddress);
}

} // namespace zemlar
