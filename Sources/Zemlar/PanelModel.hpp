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

    /// Prepares a fresh opening: empty query, no wait, then loads the lists and the secrets in
    /// the background and selects the first result.
    QCoro::Task<> open(std::optional<std::string> host);

    /// The search field's setter: ignored while waiting; otherwise selects the best match.
    void setQuery(const std::string& text);

    /// Moves the selection within the results, clamped at both ends.
    void moveSelection(int delta);

    /// The current code of an account at a moment, or nothing without its secret.
    std::optional<std::string> code(const Account& account, Date at) const;

    const std::vector<Account>& results() const { return results_; }
    std::optional<Account> selected() const;

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
    /// True from the start of an opening until its lists and secrets have arrived.
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
    std::vector<Account> results_;
    /// Counts closings, so that a load that ends after one keeps its secrets to itself.
    int closings_ = 0;
};

} // namespace zemlar
