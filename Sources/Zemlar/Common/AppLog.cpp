// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppLog.hpp"

#include <cstdio>
#include <string>
#include <syslog.h>
#include <systemd/sd-journal.h>

namespace zemlar::AppLog {
namespace {

void write(int priority, std::string_view category, std::string_view message) {
    const std::string text(message);
    const std::string categoryText(category);
    const int status = sd_journal_send("MESSAGE=%s", text.c_str(), "PRIORITY=%i", priority,
                                       "SYSLOG_IDENTIFIER=zemlar", "ZEMLAR_SUBSYSTEM=%s",
                                       std::string(subsystem).c_str(), "ZEMLAR_CATEGORY=%s",
                                       categoryText.c_str(), nullptr);
    if (status < 0) {
        std::fprintf(stderr, "zemlar[%s] %s\n", categoryText.c_str(), text.c_str());
    }
}

} // namespace

void info(std::string_view category, std::string_view message) {
    write(LOG_INFO, category, message);
}

void error(std::string_view category, std::string_view message) {
    write(LOG_ERR, category, message);
}

} // namespace zemlar::AppLog
