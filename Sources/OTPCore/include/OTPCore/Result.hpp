// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <expected>
#include <vector>

namespace zemlar {

/// Raw bytes: secrets, file contents, MACs.
using Bytes = std::vector<std::uint8_t>;

/// The outcome of an operation that can fail: its value or its own error value.
template <class Value, class Error> using Result = std::expected<Value, Error>;

/// The failing side of a Result, for `return fail(SomeError::caseName());`.
template <class Error> constexpr auto fail(Error error) {
    return std::unexpected<Error>(std::move(error));
}

} // namespace zemlar
