// SPDX-License-Identifier: GPL-3.0-or-later
// The tab reader against a small accessibility tree served on the private session bus, which
// also stands in for the accessibility bus.
#include "FakeAccessibility.hpp"
#include "Support.hpp"

#include <QDBusConnectionInterface>
#include <QProcess>
#include <QThread>
#include <ZemlarKit/AtspiTabReader.hpp>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

using namespace zemlar;
using namespace zemlar::testing;

namespace {

class TabReaderBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* marker = std::getenv("ZEMLAR_PRIVATE_KEYRING");
        if (marker == nullptr || std::string_view(marker) != "1") {
            GTEST_SKIP() << "needs the private session bus of scripts/with-keyring";
        }
        registerAccessibilityTypes();
        server = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                               QStringLiteral("zemlar-fake-accessibility"));
        ASSERT_TRUE(server.isConnected());
        fake.busAddress = QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
        fake.service = server.baseService();
        // Served from a thread of its own: the reader blocks the thread it asks from.
        fake.moveToThread(&serving);
        serving.start();
        ASSERT_TRUE(
            server.registerVirtualObject(QStringLiteral("/"), &fake, QDBusConnection::SubPath));
        ASSERT_TRUE(server.registerService(QStringLiteral("org.a11y.Bus")));
        ASSERT_TRUE(server.registerService(QStringLiteral("org.a11y.atspi.Registry")));
    }

    void TearDown() override {
        if (server.isConnected()) {
            server.unregisterObject(QStringLiteral("/"));
            server.unregisterService(QStringLiteral("org.a11y.Bus"));
            server.unregisterService(QStringLiteral("org.a11y.atspi.Registry"));
            QDBusConnection::disconnectFromBus(QStringLiteral("zemlar-fake-accessibility"));
        }
        serving.quit();
        serving.wait();
        if (otherBrowser.state() != QProcess::NotRunning) {
            otherBrowser.closeWriteChannel(); // it ends with its input
            otherBrowser.waitForFinished();
        }
    }

    /// Starts another process with a browser application on the bus; gives its bus name.
    QString startOtherBrowser() {
        otherBrowser.start(QStringLiteral(ZEMLAR_OTHER_BROWSER_PATH), {});
        if (!otherBrowser.waitForReadyRead(10'000)) {
            return {};
        }
        return QString::fromUtf8(otherBrowser.readLine()).trimmed();
    }

    /// A browser of two windows, the front one active with a hidden and a shown tab; `urlKey` names
    /// the page's address in the document attributes.
    void browserTree(const QString& applicationName, const QString& urlKey) {
        const auto page = [&urlKey](const char* url) {
            return QMap<QString, QString>{{urlKey, QString::fromUtf8(url)}};
        };
        const auto list = [](std::initializer_list<const char*> paths) {
            QStringList result;
            for (const char* path : paths) {
                result << QString::fromUtf8(path);
            }
            return result;
        };
        fake.nodes = {
            {"/org/a11y/atspi/accessible/root", {{}, 0, list({"/app/browser"}), {}}},
            {"/app/browser", {applicationName, 0, list({"/window/back", "/window/front"}), {}}},
            {"/window/back", {"Other window", 0, list({"/window/back/page"}), {}}},
            {"/window/back/page", {{}, showing, {}, page("https://back.example.org/")}},
            {"/window/front",
             {"Sign in", active, list({"/window/front/toolbar", "/window/front/tabs"}), {}}},
            {"/window/front/toolbar", {{}, showing, {}, {}}},
            {"/window/front/tabs",
             {{}, showing, list({"/window/front/tabs/hidden", "/window/front/tabs/shown"}), {}}},
            {"/window/front/tabs/hidden", {{}, 0, {}, page("https://hidden.example.net/")}},
            {"/window/front/tabs/shown",
             {{}, showing, {}, page("https://WWW.Acme-Bank.example.com/login?next=1")}},
        };
        fake.nodes["/window/front/tabs/shown"].document["MimeType"] = "text/html";
    }

    QDBusConnection server{QString()};
    FakeAccessibility fake;
    QThread serving;
    QProcess otherBrowser;
};

/// A browser window of this process, which serves the browser's tree.
BrowserWindow window(const char* bundleID, std::int64_t pid = getpid(), std::string title = {}) {
    return {.bundleID = bundleID, .pid = pid, .title = std::move(title)};
}

TEST_F(TabReaderBusTest, ReadsTheShownTabOfTheActiveChromiumWindow) {
    browserTree(QStringLiteral("Chromium"), QStringLiteral("URI"));
    const AtspiTabReader reader;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), "acme-bank.example.com");
    // A process without an application on the bus, or a text editor, gives nothing.
    EXPECT_EQ(reader.host(window("org.chromium.Chromium", getppid())), std::nullopt);
    EXPECT_EQ(reader.host(window("com.apple.TextEdit")), std::nullopt);
    // Gives up when the time runs out.
    EXPECT_EQ(AtspiTabReader(std::chrono::milliseconds(0)).host(window("org.chromium.Chromium")),
              std::nullopt);
}

TEST_F(TabReaderBusTest, ReadsFirefoxThroughItsDocumentURLInsideTheBrowsersOwnDocument) {
    browserTree(QStringLiteral("Firefox"), QStringLiteral("DocURL"));
    EXPECT_EQ(AtspiTabReader().host(window("org.mozilla.firefox")), "acme-bank.example.com");
    fake.nodes[QStringLiteral("/window/front")].document[QStringLiteral("DocURL")] =
        QStringLiteral("chrome://browser/content/browser.xhtml");
    fake.nodes[QStringLiteral("/window/front")].state = active | showing;
    EXPECT_EQ(AtspiTabReader().host(window("org.mozilla.firefox")), "acme-bank.example.com");
}

TEST_F(TabReaderBusTest, OnlyTheFrontWindowOfTheFrontWindowsProcessCounts) {
    browserTree(QStringLiteral("Chromium"), QStringLiteral("URI"));
    const QString other = startOtherBrowser();
    ASSERT_FALSE(other.isEmpty());
    // Another Chromium, listed first, with an active window of its own.
    fake.servedElsewhere[QStringLiteral("/other/browser")] = other;
    fake.nodes[QStringLiteral("/org/a11y/atspi/accessible/root")].children.prepend(
        QStringLiteral("/other/browser"));
    const AtspiTabReader reader;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), "acme-bank.example.com");

    // Without an active window another window's page is no guide; the window's title is.
    fake.nodes[QStringLiteral("/window/front")].state = 0;
    EXPECT_EQ(reader.host(window("org.chromium.Chromium")), std::nullopt);
    EXPECT_EQ(reader.host(window("org.chromium.Chromium", getpid(), "Sign in")),
              "acme-bank.example.com");
}

} // namespace
