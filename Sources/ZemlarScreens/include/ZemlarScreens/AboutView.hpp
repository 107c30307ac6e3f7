// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;

namespace zemlar {

/// The About content: icon, name, version, what Zemlar does, where secrets live, the web site
/// and the copyright line, in a centred column 340 wide.
class AboutView : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* siteAddress = "https://zemlar.app/";
    static constexpr const char* russianSiteAddress = "https://zemlar.app/ru/";
    static constexpr const char* copyright = "© 2026 the Zemlar developers";

    /// `version` empty shows "—"; `preferredLanguages` decides the site's page.
    explicit AboutView(QString version = defaultVersion(),
                       QStringList preferredLanguages = defaultPreferredLanguages(),
                       QWidget* parent = nullptr);

    /// The application's version, empty when unknown.
    static QString defaultVersion();
    /// The user's preferred interface languages, most preferred first.
    static QStringList defaultPreferredLanguages();
    /// The Russian page when the first preferred language is Russian, otherwise the main page.
    static QString siteFor(const QStringList& preferredLanguages);

    QLabel* versionLabel() const { return version_; }
    QLabel* siteLink() const { return site_; }

private:
    QLabel* version_;
    QLabel* site_;
};

} // namespace zemlar
