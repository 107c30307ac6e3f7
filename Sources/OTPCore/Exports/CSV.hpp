// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Comma-separated values as spreadsheets and password managers write them (RFC 4180): fields
/// in double quotes may hold commas, line breaks and doubled quotes; lines end in LF or CRLF.
namespace zemlar::CSV {

/// The rows of a text, wiped when dropped: exported rows hold secrets.
struct Table {
    std::vector<std::vector<std::string>> rows;

    Table() = default;
    Table(Table&&) noexcept = default;
    Table& operator=(Table&&) noexcept = default;
    ~Table();
};

/// Every non-empty line's fields; nothing when a quoted field is never closed. A quote inside
/// an unquoted field, or after a closing one, is kept as text.
std::optional<Table> read(std::string_view text);

} // namespace zemlar::CSV
