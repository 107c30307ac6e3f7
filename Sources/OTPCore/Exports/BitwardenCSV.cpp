// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bitwarden.hpp"
#include "CSV.hpp"

#include <algorithm>

namespace zemlar::ExternalExports::Bitwarden {
namespace {

constexpr std::string_view totpColumn = "login_totp";

// Columns are found by their header: rows may hold more values than the header names.
class Columns {
public:
    explicit Columns(const std::vector<std::string>& header) : header_(header) {}

    bool has(std::string_view name) const {
        return std::ranges::find(header_, name) != header_.end();
    }

    std::string value(const std::vector<std::string>& row, std::string_view name) const {
        const auto column = std::ranges::find(header_, name);
        const auto index = static_cast<std::size_t>(column - header_.begin());
        return column != header_.end() && index < row.size() ? row[index] : std::string{};
    }

private:
    const std::vector<std::string>& header_;
};

} // namespace

bool recognisesCSV(std::string_view content) {
    const std::string_view firstLine = content.substr(0, content.find('\n'));
    const auto table = CSV::read(firstLine);
    if (!table || table->rows.empty()) {
        return false;
    }
    const Columns columns(table->rows.front());
    return columns.has(totpColumn) && columns.has("name");
}

Result<ImportBatch, ExportFailure> readCSV(std::string_view content, std::string_view) {
    const auto table = CSV::read(content);
    if (!table || table->rows.empty()) {
        return fail(ExportFailure::damaged);
    }
    const Columns columns(table->rows.front());
    ImportBatch batch;
    for (std::size_t index = 1; index < table->rows.size(); ++index) {
        const auto& row = table->rows[index];
        add(batch, {columns.value(row, "name"), columns.value(row, "login_username"),
                    columns.value(row, totpColumn), columns.value(row, "folder")});
    }
    return batch;
}

} // namespace zemlar::ExternalExports::Bitwarden
