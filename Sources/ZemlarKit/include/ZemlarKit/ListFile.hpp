// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"

#include <OTPCore/Result.hpp>
#include <filesystem>
#include <optional>

/// The file operations behind the account and group files.
namespace zemlar::ListFile {

/// The application's data folder: $XDG_DATA_HOME/Zemlar, or ~/.local/share/Zemlar when that
/// is unset or not absolute.
std::filesystem::path dataFolder();

/// The whole file, or nothing when there is no file; readFailed when it cannot be read.
Result<std::optional<Bytes>, AccountStoreError> read(const std::filesystem::path& file);

/// Creates the missing folders (0700), then replaces the file atomically: the bytes go to a
/// temporary file in the same folder, created 0600, written and flushed to disk, then renamed
/// over the file, and the folder is flushed too. A reader sees the old or the new file in full;
/// nobody else can read either at any moment. writeFailed on any failure.
Result<void, AccountStoreError> write(const std::filesystem::path& file, const Bytes& bytes);

} // namespace zemlar::ListFile
