// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BoundedRead.hpp"

#include <OTPCore/Result.hpp>
#include <cstddef>
#include <filesystem>

/// A file the user picked to import or restore from, read whole but never beyond a size any
/// such file can reasonably have: a device such as /dev/zero or a huge file stops early.
namespace zemlar::ChosenFile {

inline constexpr std::size_t sizeLimit = BoundedRead::wholeFileLimit;

using ReadError = BoundedRead::Error;

/// The file's bytes; the caller wipes them.
Result<Bytes, ReadError> read(const std::filesystem::path& at, std::size_t limit = sizeLimit);

} // namespace zemlar::ChosenFile
