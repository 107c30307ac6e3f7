// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/FileImport.hpp"

#include "ZemlarKit/ChosenFile.hpp"
#include "ZemlarKit/ImportText.hpp"

#include <OTPCore/Crypto.hpp>
#include <OTPCore/ExternalExports.hpp>
#include <OTPCore/ImportParser.hpp>

namespace zemlar::FileImport {

Result<ImportBatch, Failure> read(const std::filesystem::path& at, std::string_view password) {
    auto bytes = ChosenFile::read(at);
    if (!bytes) {
        return fail(Failure(bytes.error() == ChosenFile::ReadError::tooLarge
                                ? ImportFailure::fileTooLarge()
                                : ImportFailure::unreadableFile()));
    }
    const Crypto::WipedBytes contents(std::move(*bytes));
    const std::string_view content(reinterpret_cast<const char*>(contents.value().data()),
                                   contents.value().size());
    if (auto exported = ExternalExports::read(content, password)) {
        if (!*exported) {
            return fail(Failure(exported->error()));
        }
        return std::move(**exported);
    }
    auto text = ImportText::fileText(contents.value());
    if (!text) {
        return fail(Failure(text.error()));
    }
    const Crypto::WipedText payload(std::move(*text));
    return ImportParser::parse(payload.value());
}

} // namespace zemlar::FileImport
