// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "GlobalShortcutsPortal.hpp"

#include <KeyboardShortcuts/HotKeyBackend.hpp>
#include <QObject>
#include <functional>
#include <vector>

namespace zemlar {

/// The shortcuts of the listeners, bound through the GlobalShortcuts portal: each name becomes a
/// portal shortcut of the same identifier, with the stored shortcut as the preferred keys. The
/// desktop's presses reach the listeners as key-down and key-up. Pausing has nothing to release:
/// the desktop keeps its keys to itself.
class PortalHotKeys final : public KeyboardShortcuts::HotKeyBackend {
public:
    /// What a name's shortcut does, as the desktop shows it.
    using Describe = std::function<QString(const QString& rawValue)>;

    PortalHotKeys(std::shared_ptr<GlobalShortcutsPortal> portal, Describe describe);
    ~PortalHotKeys() override;

    void addListener(KeyboardShortcuts::EventListener* listener) override;
    void removeListener(KeyboardShortcuts::EventListener* listener) override;
    bool isTakenByAnotherClient(const KeyboardShortcuts::Shortcut&) override { return false; }
    void setPaused(bool) override {}
    std::optional<QString> assignedTrigger(const QString& rawValue) const override;

    GlobalShortcutsPortal& portal() const { return *portal_; }

private:
    void bindAll();

    std::shared_ptr<GlobalShortcutsPortal> portal_;
    Describe describe_;
    std::vector<KeyboardShortcuts::EventListener*> listeners_;
    QObject context_;
};

} // namespace zemlar
