// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <cstdint>
#include <map>
#include <memory>

class QSocketNotifier;
struct wl_display;
struct wl_interface;
struct wl_proxy;

namespace zemlar {

/// The seat's selection seen and emptied through a data-control protocol (ext-data-control-v1,
/// else zwlr-data-control-unstable-v1), on a Wayland connection of our own: unlike a window's
/// clipboard it works without the keyboard focus. Main thread only.
class DataControl : public QObject {
public:
    /// Nothing without a Wayland display or where the compositor offers neither protocol.
    static std::unique_ptr<DataControl> connect();
    ~DataControl() override;

    /// Grows with every new selection, except the one announced by `expectOwnSelection`.
    std::int64_t changes() const { return changes_; }
    /// The next selection carrying `marker` among its types is our own and not a change.
    void expectOwnSelection(const char* marker);
    /// Empties the selection.
    void clearSelection();

private:
    struct Offer {
        bool marked = false;
    };

    DataControl(wl_display* display, const wl_interface* deviceInterface, wl_proxy* manager,
                wl_proxy* seat);
    void dispatch();
    void flush();
    void offerAdded(wl_proxy* offer);
    void offerTyped(wl_proxy* offer, const char* mimeType);
    void selected(wl_proxy* offer);
    void dropOffer(wl_proxy* offer);
    void finished();

    wl_display* display_;
    wl_proxy* manager_;
    wl_proxy* seat_;
    wl_proxy* device_ = nullptr;
    wl_proxy* selection_ = nullptr;
    std::map<wl_proxy*, Offer> offers_;
    const char* expectedMarker_ = nullptr;
    std::int64_t changes_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zemlar
