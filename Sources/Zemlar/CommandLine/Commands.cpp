// SPDX-License-Identifier: GPL-3.0-or-later
#include "Command.hpp"

#include <array>

namespace zemlar::CommandLine {

std::span<const Command* const> commands() {
    static const std::array all{&importCommand(), &listCommand(), &codeCommand()};
    return all;
}

} // namespace zemlar::CommandLine
