// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/BackupFileError.hpp"
#include "ZemlarKit/BoundedRead.hpp"
#include "ZemlarKit/FileStamp.hpp"

#include <OTPCore/Result.hpp>
#include <cstdint>
#include <filesystem>
#include <optional>

/// Reading the files of the synced backup folder. Other people and devices can write there, so
/// a link is never followed, only a regular file is read, and never more than sizeLimit bytes.
namespace zemlar::SyncFolderFile {

inline constexpr auto sizeLimit = static_cast<std::int64_t>(BoundedRead::wholeFileLimit);

/// The whole file, or nothing when there is none. readFailed for a link, for anything but a
/// regular file and on a read error; tooLarge above sizeLimit, found before reading.
Result<std::optional<Bytes>, BackupFileError> read(const std::filesystem::path& file);

/// The size and modification time of what stands at the path (a link itself, not its target);
/// nothing when there is nothing.
std::optional<FileStamp> stamp(const std::filesystem::path& file);

} // namespace zemlar::SyncFolderFile
