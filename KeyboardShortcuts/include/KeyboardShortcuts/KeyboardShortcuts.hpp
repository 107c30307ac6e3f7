// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyboardShortcuts/Events.hpp"
#include "KeyboardShortcuts/KeyMapping.hpp"
#include "KeyboardShortcuts/KeyMonitor.hpp"
#include "KeyboardShortcuts/Name.hpp"
#include "KeyboardShortcuts/Notifier.hpp"
#include "KeyboardShortcuts/Recorder.hpp"
#include "KeyboardShortcuts/Shortcut.hpp"
#include "KeyboardShortcuts/Translations.hpp"
