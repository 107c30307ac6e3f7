// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/Result.hpp>
#include <OTPCore/UUID.hpp>
#include <cstddef>

/// The only source of salts, nonces and identifiers: the system's secure random generator.
namespace zemlar::RandomBytes {

/// `count` random bytes (empty for 0). Stops the program if the generator fails, since no
/// caller could go on safely without randomness.
Bytes generate(std::size_t count);

/// A new random (version 4) identifier.
UUID uuid();

} // namespace zemlar::RandomBytes
