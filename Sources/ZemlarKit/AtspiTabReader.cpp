// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/AtspiTabReader.hpp"

#include "OTPCore/Sites.hpp"

#include <QAtomicInteger>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cctype>
#include <deque>
#include <utility>

namespace zemlar {

namespace {

struct Browser {
    std::string_view bundleID;
    std::array<std::string_view, 3> windowClasses;
};

constexpr std::array<Browser, 6> browsers{{
    {"com.google.Chrome", {"google-chrome", "google-chrome-stable", ""}},
    {"org.chromium.Chromium", {"chromium", "chromium-browser", ""}},
    {"com.brave.Browser", {"brave-browser", "brave-browser-stable", ""}},
    {"com.microsoft.edgemac", {"microsoft-edge", "microsoft-edge-stable", ""}},
    {"com.vivaldi.Vivaldi", {"vivaldi-stable", "vivaldi", ""}},
    {"org.mozilla.firefox", {"firefox", "firefox-esr", "navigator"}},
}};

const Browser* browserWithID(std::string_view bundleID) {
    const auto found = std::find_if(browsers.begin(), browsers.end(), [&](const Browser& browser) {
        return browser.bundleID == bundleID;
    });
    return found == browsers.end() ? nullptr : &*found;
}

std::string lowercased(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char character) { return char(std::tolower(character)); });
    return result;
}

const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString documentInterface = QStringLiteral("org.a11y.atspi.Document");
constexpr quint32 activeState = 1u << 1;
constexpr quint32 showingState = 1u << 25;
/// Enough for the browser's own controls above the page.
constexpr int maximumVisits = 400;

/// An object on the accessibility bus.
struct Accessible {
    QString service;
    QString path;
};

using Children = QList<std::pair<QString, QDBusObjectPath>>;

/// The calls of one reading, all within one deadline.
class Session {
public:
    Session(QDBusConnection bus, std::chrono::milliseconds limit)
        : bus_(std::move(bus)), limit_(limit) {
        clock_.start();
    }

    bool expired() const { return remaining() <= 0; }

    std::optional<QDBusMessage> call(const Accessible& object, const QString& interface,
                                     const QString& method, const QVariantList& arguments = {}) {
        if (expired()) {
            return std::nullopt;
        }
        QDBusMessage message =
            QDBusMessage::createMethodCall(object.service, object.path, interface, method);
        message.setArguments(arguments);
        QDBusMessage reply = bus_.call(message, QDBus::Block, remaining());
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return std::nullopt;
        }
        return reply;
    }

    std::vector<Accessible> children(const Accessible& object) {
        std::vector<Accessible> result;
        const auto reply = call(object, accessibleInterface, QStringLiteral("GetChildren"));
        if (!reply) {
            return result;
        }
        const QDBusArgument argument = reply->arguments().first().value<QDBusArgument>();
        if (argument.currentSignature() != QStringLiteral("a(so)")) {
            return result;
        }
        argument.beginArray();
        while (!argument.atEnd()) {
            QString service;
            QDBusObjectPath path;
            argument.beginStructure();
            argument >> service >> path;
            argument.endStructure();
            result.push_back({service, path.path()});
        }
        argument.endArray();
        return result;
    }

    QString name(const Accessible& object) {
        const auto reply =
            call(object, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {accessibleInterface, QStringLiteral("Name")});
        return reply ? reply->arguments().first().value<QDBusVariant>().variant().toString()
                     : QString();
    }

    /// The process behind an object's connection to the bus, as the bus itself knows it.
    std::optional<qint64> processID(const Accessible& object) {
        const auto reply =
            call({QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus")},
                 QStringLiteral("org.freedesktop.DBus"),
                 QStringLiteral("GetConnectionUnixProcessID"), {object.service});
        if (!reply) {
            return std::nullopt;
        }
        bool valid = false;
        const qint64 pid = reply->arguments().first().toLongLong(&valid);
        return valid ? std::optional(pid) : std::nullopt;
    }

    quint32 state(const Accessible& object) {
        const auto reply = call(object, accessibleInterface, QStringLiteral("GetState"));
        if (!reply) {
            return 0;
        }
        const QDBusArgument argument = reply->arguments().first().value<QDBusArgument>();
        QList<quint32> words;
        if (argument.currentSignature() == QStringLiteral("au")) {
            argument >> words;
        }
        return words.isEmpty() ? 0 : words.first();
    }

    bool isDocument(const Accessible& object) {
        const auto reply = call(object, accessibleInterface, QStringLiteral("GetInterfaces"));
        return reply && reply->arguments().first().toStringList().contains(documentInterface);
    }

    std::optional<std::string> documentHost(const Accessible& document) {
        const auto reply = call(document, documentInterface, QStringLiteral("GetAttributes"));
        if (!reply) {
            return std::nullopt;
        }
        const QDBusArgument argument = reply->arguments().first().value<QDBusArgument>();
        if (argument.currentSignature() != QStringLiteral("a{ss}")) {
            return std::nullopt;
        }
        QMap<QString, QString> attributes;
        argument >> attributes;
        for (const char* key : {"DocURL", "URI", "URL"}) {
            if (const auto url = attributes.constFind(QString::fromLatin1(key));
                url != attributes.constEnd()) {
                return Sites::host(url->toStdString());
            }
        }
        return std::nullopt;
    }

private:
    int remaining() const {
        return int(std::max<qint64>(0, qint64(limit_.count()) - clock_.elapsed()));
    }

    QDBusConnection bus_;
    std::chrono::milliseconds limit_;
    QElapsedTimer clock_;
};

/// The application on the accessibility bus that the process `pid` runs.
std::optional<Accessible> applicationOfProcess(Session& session, std::int64_t pid) {
    const Accessible root{QStringLiteral("org.a11y.atspi.Registry"),
                          QStringLiteral("/org/a11y/atspi/accessible/root")};
    for (const Accessible& application : session.children(root)) {
        if (session.processID(application) == pid) {
            return application;
        }
    }
    return std::nullopt;
}

/// The application's active window, or else its only window named `title`. No other window
/// counts: it could show a page of another site.
std::optional<Accessible> frontWindow(Session& session, const Accessible& application,
                                      const QString& title) {
    std::vector<Accessible> named;
    for (const Accessible& window : session.children(application)) {
        if ((session.state(window) & activeState) != 0) {
            return window;
        }
        if (!title.isEmpty() && session.name(window) == title) {
            named.push_back(window);
        }
    }
    return named.size() == 1 ? std::optional(named.front()) : std::nullopt;
}

/// The host of the first shown web document under the window, searched breadth first.
std::optional<std::string> shownDocumentHost(Session& session, const Accessible& window) {
    std::deque<Accessible> waiting{window};
    for (int visits = 0; !waiting.empty() && visits < maximumVisits && !session.expired();
         ++visits) {
        const Accessible object = waiting.front();
        waiting.pop_front();
        if (session.isDocument(object)) {
            // A hidden document is a background tab. A shown one without a web address (the
            // browser's own interface may be a document too) can hold the page further down.
            if ((session.state(object) & showingState) == 0) {
                continue;
            }
            if (auto host = session.documentHost(object)) {
                return host;
            }
        }
        for (Accessible& child : session.children(object)) {
            waiting.push_back(std::move(child));
        }
    }
    return std::nullopt;
}

std::optional<QString> accessibilityBusAddress(const QDBusConnection& sessionBus,
                                               std::chrono::milliseconds limit) {
    if (!sessionBus.isConnected()) {
        return std::nullopt;
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    const QDBusReply<QString> reply = sessionBus.call(call, QDBus::Block, int(limit.count()));
    if (!reply.isValid() || reply.value().isEmpty()) {
        return std::nullopt;
    }
    return reply.value();
}

} // namespace

AtspiTabReader::AtspiTabReader(std::chrono::milliseconds limit, QDBusConnection sessionBus)
    : limit_(limit), sessionBus_(std::move(sessionBus)) {}

bool AtspiTabReader::isSupported(std::string_view bundleID) {
    return browserWithID(bundleID) != nullptr;
}

std::optional<std::string> AtspiTabReader::bundleID(std::string_view wmClass) {
    const std::string wanted = lowercased(wmClass);
    if (wanted.empty()) {
        return std::nullopt;
    }
    for (const Browser& browser : browsers) {
        if (std::find(browser.windowClasses.begin(), browser.windowClasses.end(), wanted) !=
            browser.windowClasses.end()) {
            return std::string(browser.bundleID);
        }
    }
    return std::nullopt;
}

std::optional<std::string> AtspiTabReader::host(const BrowserWindow& front) const {
    if (browserWithID(front.bundleID) == nullptr || front.pid <= 0) {
        return std::nullopt;
    }
    QElapsedTimer clock;
    clock.start();
    const auto address = accessibilityBusAddress(sessionBus_, limit_);
    if (!address) {
        return std::nullopt;
    }
    // One private connection per reading, so that no state outlives it.
    static QAtomicInteger<int> readings;
    const QString connectionName =
        QStringLiteral("zemlar-atspi-%1").arg(readings.fetchAndAddRelaxed(1));
    std::optional<std::string> host;
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(*address, connectionName);
        const auto left = limit_ - std::chrono::milliseconds(clock.elapsed());
        if (bus.isConnected() && left.count() > 0) {
            Session session(bus, left);
            if (const auto application = applicationOfProcess(session, front.pid)) {
                if (const auto window =
                        frontWindow(session, *application, QString::fromStdString(front.title))) {
                    host = shownDocumentHost(session, *window);
                }
            }
        }
    }
    QDBusConnection::disconnectFromBus(connectionName);
    return host;
}

} // namespace zemlar
