// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace zemlar::CodeFormat {

/// The display form of a code: the first half (rounded up), a space, the rest; codes shorter
/// than 5 characters unchanged. Typing and copying use the plain code.
std::string grouped(std::string_view code);

} // namespace zemlar::CodeFormat
