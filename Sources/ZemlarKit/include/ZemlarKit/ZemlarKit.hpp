// SPDX-License-Identifier: GPL-3.0-or-later
// Everything ZemlarKit offers.
#pragma once

#include "ZemlarKit/ActiveTabReader.hpp"
#include "ZemlarKit/RandomBytes.hpp"
