// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControl.hpp"

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QSocketNotifier>
#include <cstring>
#include <wayland-client.h>

namespace zemlar {

namespace {

// The two protocols have the same requests and events in the same order, so one set of
// opcodes and listeners serves both; only the interface descriptions differ. The first is
// preferred.
const wl_interface* const managers[] = {&ext_data_control_manager_v1_interface,
                                        &zwlr_data_control_manager_v1_interface};
const wl_interface* const devices[] = {&ext_data_control_device_v1_interface,
                                       &zwlr_data_control_device_v1_interface};

constexpr std::uint32_t getDataDevice = 1;
constexpr std::uint32_t managerDestroy = 2;
constexpr std::uint32_t setSelection = 0;
constexpr std::uint32_t deviceDestroy = 1;
constexpr std::uint32_t offerDestroy = 1;

struct DeviceListener {
    void (*dataOffer)(void* data, wl_proxy* device, wl_proxy* offer);
    void (*selection)(void* data, wl_proxy* device, wl_proxy* offer);
    void (*finished)(void* data, wl_proxy* device);
    void (*primarySelection)(void* data, wl_proxy* device, wl_proxy* offer);
};

struct OfferListener {
    void (*offer)(void* data, wl_proxy* offer, const char* mimeType);
};

/// What the registry holds that we bind.
struct Globals {
    wl_proxy* seat = nullptr;
    wl_proxy* manager = nullptr;
    std::size_t family = std::size(managers);
};

void destroyProxy(wl_proxy* proxy, std::uint32_t destructor) {
    wl_proxy_marshal_flags(proxy, destructor, nullptr, wl_proxy_get_version(proxy),
                           WL_MARSHAL_FLAG_DESTROY);
}

template <class Listener> void listen(wl_proxy* proxy, const Listener& listener, void* data) {
    // The C library takes the listener as an array of function pointers.
    wl_proxy_add_listener(
        proxy, reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)), data);
}

void globalAdded(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                 std::uint32_t /*version*/) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_proxy*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        return;
    }
    for (std::size_t index = 0; index < globals->family; ++index) {
        if (std::strcmp(interface, managers[index]->name) == 0) {
            if (globals->manager != nullptr) {
                destroyProxy(globals->manager, managerDestroy);
            }
            globals->manager =
                static_cast<wl_proxy*>(wl_registry_bind(registry, name, managers[index], 1));
            globals->family = index;
            return;
        }
    }
}

void globalRemoved(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener registryListener{globalAdded, globalRemoved};

} // namespace

std::unique_ptr<DataControl> DataControl::connect() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    if (globals.manager == nullptr || globals.seat == nullptr) {
        if (globals.manager != nullptr) {
            destroyProxy(globals.manager, managerDestroy);
        }
        if (globals.seat != nullptr) {
            wl_proxy_destroy(globals.seat);
        }
        wl_display_disconnect(display);
        return nullptr;
    }
    return std::unique_ptr<DataControl>(
        new DataControl(display, devices[globals.family], globals.manager, globals.seat));
}

DataControl::DataControl(wl_display* display, const wl_interface* deviceInterface,
                         wl_proxy* manager, wl_proxy* seat)
    : display_(display), manager_(manager), seat_(seat) {
    static const DeviceListener listener{
        .dataOffer = [](void* data, wl_proxy*,
                        wl_proxy* offer) { static_cast<DataControl*>(data)->offerAdded(offer); },
        .selection = [](void* data, wl_proxy*,
                        wl_proxy* offer) { static_cast<DataControl*>(data)->selected(offer); },
        .finished = [](void* data, wl_proxy*) { static_cast<DataControl*>(data)->finished(); },
        .primarySelection =
            [](void* data, wl_proxy*, wl_proxy* offer) {
                auto* self = static_cast<DataControl*>(data);
                if (offer != nullptr && offer != self->selection_) {
                    self->dropOffer(offer);
                }
            },
    };
    device_ = wl_proxy_marshal_flags(manager_, getDataDevice, deviceInterface,
                                     wl_proxy_get_version(manager_), 0, nullptr, seat_);
    listen(device_, listener, this);
    wl_display_roundtrip(display_); // the current selection
    notifier_ =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { dispatch(); });
}

DataControl::~DataControl() {
    notifier_.reset();
    for (const auto& [offer, state] : offers_) {
        destroyProxy(offer, offerDestroy);
    }
    if (device_ != nullptr) {
        destroyProxy(device_, deviceDestroy);
    }
    destroyProxy(manager_, managerDestroy);
    wl_proxy_destroy(seat_);
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

void DataControl::dispatch() {
    if (wl_display_dispatch(display_) < 0) {
        notifier_->setEnabled(false);
    }
}

void DataControl::flush() {
    wl_display_flush(display_);
}

void DataControl::expectOwnSelection(const char* marker) {
    expectedMarker_ = marker;
}

void DataControl::clearSelection() {
    if (device_ == nullptr) {
        return;
    }
    wl_proxy_marshal_flags(device_, setSelection, nullptr, wl_proxy_get_version(device_), 0,
                           nullptr);
    flush();
}

void DataControl::offerAdded(wl_proxy* offer) {
    static const OfferListener listener{.offer = [](void* data, wl_proxy* proxy, const char* type) {
        static_cast<DataControl*>(data)->offerTyped(proxy, type);
    }};
    offers_[offer] = Offer{};
    listen(offer, listener, this);
}

void DataControl::offerTyped(wl_proxy* offer, const char* mimeType) {
    const auto found = offers_.find(offer);
    if (found != offers_.end() && expectedMarker_ != nullptr &&
        std::strcmp(mimeType, expectedMarker_) == 0) {
        found->second.marked = true;
    }
}

void DataControl::selected(wl_proxy* offer) {
    const auto found = offers_.find(offer);
    const bool own = found != offers_.end() && found->second.marked;
    if (own) {
        expectedMarker_ = nullptr;
    } else {
        ++changes_;
    }
    if (selection_ != nullptr && selection_ != offer) {
        dropOffer(selection_);
    }
    selection_ = offer;
}

void DataControl::dropOffer(wl_proxy* offer) {
    if (offers_.erase(offer) > 0) {
        destroyProxy(offer, offerDestroy);
    }
}

void DataControl::finished() {
    destroyProxy(device_, deviceDestroy);
    device_ = nullptr;
}

} // namespace zemlar
