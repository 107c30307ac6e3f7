// SPDX-License-Identifier: GPL-3.0-or-later
#include "CSV.hpp"

#include "OTPCore/Crypto.hpp"

namespace zemlar::CSV {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader() { Crypto::wipe(field_); }

    std::optional<Table> read() {
        for (index_ = 0; index_ < text_.size(); ++index_) {
            take(text_[index_]);
        }
        if (quoted_) {
            return std::nullopt;
        }
        endRow();
        return std::move(table_);
    }

private:
    char next() const { return index_ + 1 < text_.size() ? text_[index_ + 1] : '\0'; }

    void take(char character) {
        if (quoted_) {
            takeQuoted(character);
        } else if (character == '"' && field_.empty() && !wasQuoted_) {
            quoted_ = wasQuoted_ = true;
        } else if (character == ',') {
            endField();
        } else if (character == '\n' || (character == '\r' && next() != '\n')) {
            endRow();
        } else if (character != '\r') {
            field_ += character;
        }
    }

    void takeQuoted(char character) {
        if (character != '"') {
            field_ += character;
        } else if (next() == '"') {
            field_ += '"';
            ++index_;
        } else {
            quoted_ = false;
        }
    }

    void endField() {
        row_.push_back(field_);
        Crypto::wipe(field_);
        field_.clear();
        wasQuoted_ = false;
    }

    void endRow() {
        endField();
        if (row_.size() > 1 || !row_.front().empty()) {
            table_.rows.push_back(std::move(row_));
        } else {
            Crypto::wipe(row_.front());
        }
        row_.clear();
    }

    std::string_view text_;
    std::size_t index_ = 0;
    Table table_;
    std::vector<std::string> row_;
    std::string field_;
    bool quoted_ = false;
    bool wasQuoted_ = false;
};

} // namespace

Table::~Table() {
    for (auto& row : rows) {
        for (auto& field : row) {
            Crypto::wipe(field);
        }
    }
}

std::optional<Table> read(std::string_view text) {
    return Reader(text).read();
}

} // namespace zemlar::CSV
