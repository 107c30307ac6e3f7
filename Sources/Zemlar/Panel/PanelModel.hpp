// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppEnvironment.hpp"

#include <OTPCore/Account.hpp>
#include <OTPCore/AccountGroup.hpp>
#include <OTPCore/Date.hpp>
#include <OTPCore/UUID.hpp>
#include <QObject>
#include <ZemlarKit/LockedSecrets.hpp>
#include <ZemlarKit/SecretStore.hpp>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>
#include <string>
#include <vector>

namespace zemlar {

/// The state of the search panel: what was loaded at the opening, the query, the selection,
/// the secrets held while the panel is open and the wait for a fresh code. Lives on the main
/// thread; announces every change with `changed()`.
class PanelModel : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<Date()>;

    explicit PanelModel(AppEnvironment environment, Clock clock = systemClock(),
                        QObject* parent = nullptr);

    static Clock systemClock();

    /// Prepares a fresh opening: empty query, no wait, no site, the first result selected; then
    /// loads the lists and the secrets in the background and selects the first result again.
    /// What arrives for an opening that is over by then is dropped.
    QCoro::Task<> open();

    /// The site of the browser in front, found after the opening `opening` began: ranks again
    /// and selects the first result. Ignored once that opening is over or while waiting.
    void setHost(int opening, std::optional<std::string> host);

    /// Whether `opening` (a value of openCount) is the opening still on screen.
    bool isCurrent(int opening) const { return isOpen_ && opening == openCount; }

    /// The search field's setter: ignored while waiting; otherwise selects the best match.
    void setQuery(const std::string& text);

    /// Moves the selection within the results, clamped at both ends.
    void moveSelection(int delta);

    /// The current code of an account at a moment, or nothing without its secret.
    std::optional<std::string> code(const Account& account, Date at) const;

    /// The accounts shown, in display order.
    std::size_t resultCount() const { return ranking_.size(); }
    const Account& result(std::size_t row) const { return accounts[ranking_[row]]; }
    std::optional<Account> selected() const;
    /// The row of the selection among the results, if it is one of them.
    std::optional<long> selectedRow() const;

    /// Sets or clears the moment the waiting delivery hands over its fresh code.
    void setWaitingUntil(std::optional<Date> moment);
    /// Selects the row of an identifier (a click).
    void select(const UUID& id);
    /// What closing the panel forgets: the secrets, the query, the wait and the host.
    void clearForClosing();

    Date now() const { return clock_(); }

    std::string query;
    Accounts accounts;
    Groups groups;
    std::optional<UUID> selectedID;
    bool loadFailed = false;
    /// True from the start of an opening until its lists and secrets have arrived or it closes.
    bool loading = false;
    int openCount = 0;
    std::optional<Date> waitingUntil;
    std::optional<std::string> host;
    LockedSecrets secrets;
    Date openedAt{0};
    AppEnvironment environment;

signals:
    void changed();

private:
    void recomputeResults();
    void selectFirst();

    Clock clock_;
    /// Positions in `accounts`, ranked for the query and the site.
    std::vector<std::size_t> ranking_;
    bool isOpen_ = false;
};

} // namespace zemlar
