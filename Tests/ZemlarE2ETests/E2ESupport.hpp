// SPDX-License-Identifier: GPL-3.0-or-later
// Starting and stopping the built application and the helper programs of the end-to-end tests.
#pragma once

#include <OTPCore/Account.hpp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace zemlar::testing {

/// The account the end-to-end tests deliver codes for.
inline Account testAccount(std::string name) {
    return Account{.id = *UUID::parse("6F1C2A4E-0000-4000-8000-000000000001"),
                   .issuer = "GitHub",
                   .name = std::move(name),
                   .parameters = OTPParameters::standard(),
                   .createdAt = Date(1'700'000'000),
                   .lastUsedAt = std::nullopt,
                   .useCount = 0,
                   .domains = {},
                   .groupID = std::nullopt,
                   .pressesReturn = false};
}

inline pid_t spawn(std::vector<std::string> command) {
    std::vector<char*> arguments;
    for (auto& part : command) {
        arguments.push_back(part.data());
    }
    arguments.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0) {
        return 0;
    }
    return pid;
}

inline void stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

inline int run(const std::string& command) {
    return std::system(command.c_str());
}

inline std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) {
            text += buffer;
        }
        pclose(pipe);
    }
    return text;
}

} // namespace zemlar::testing
