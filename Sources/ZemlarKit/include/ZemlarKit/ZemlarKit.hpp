// SPDX-License-Identifier: GPL-3.0-or-later
// Everything ZemlarKit offers.
#pragma once

#include "ZemlarKit/ClipboardDelivery.hpp"
#include "ZemlarKit/CodeDelivery.hpp"
#include "ZemlarKit/DeliveryError.hpp"
#include "ZemlarKit/PasteboardClient.hpp"
#include "ZemlarKit/RandomBytes.hpp"
#include "ZemlarKit/SystemPasteboard.hpp"
#include "ZemlarKit/TypingDelivery.hpp"
