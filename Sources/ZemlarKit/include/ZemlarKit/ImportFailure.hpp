// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <OTPCore/ExportFailure.hpp>
#include <OTPCore/ManualEntryError.hpp>
#include <string>
#include <string_view>

namespace zemlar {

/// Why an action of the import screen stopped before or while running.
class ImportFailure {
public:
    enum class Kind {
        manual,
        emptyClipboard,
        unreadableFile,
        fileTooLarge,
        noQRCode,
        refusedExport
    };

    static constexpr std::string_view emptyClipboardText =
        "The clipboard has neither text nor an image";
    static constexpr std::string_view unreadableFileText = "Couldn't read the file";
    static constexpr std::string_view fileTooLargeText = "The file is too large";
    static constexpr std::string_view noQRCodeText = "No QR code or text found";

    static ImportFailure manual(ManualEntryError error) { return {Kind::manual, error}; }
    static ImportFailure emptyClipboard() { return {Kind::emptyClipboard}; }
    static ImportFailure unreadableFile() { return {Kind::unreadableFile}; }
    static ImportFailure fileTooLarge() { return {Kind::fileTooLarge}; }
    static ImportFailure noQRCode() { return {Kind::noQRCode}; }
    /// Another app's export that gave no accounts at all.
    static ImportFailure refusedExport(ExportFailure failure) {
        ImportFailure refused(Kind::refusedExport);
        refused.exportFailure_ = failure;
        return refused;
    }

    Kind kind() const { return kind_; }
    /// The manual entry's error, for manual.
    const ManualEntryError& manualError() const { return manualError_; }
    /// Why the export was refused, for refusedExport.
    ExportFailure exportFailure() const { return exportFailure_; }
    /// A refused export that opens with a password.
    bool needsPassword() const {
        return kind_ == Kind::refusedExport && exportFailure_ == ExportFailure::passwordNeeded;
    }
    std::string describe() const;

    bool operator==(const ImportFailure&) const = default;

private:
    ImportFailure(Kind kind, ManualEntryError error = ManualEntryError::emptyTitle())
        : kind_(kind), manualError_(error) {}

    Kind kind_;
    ManualEntryError manualError_;
    ExportFailure exportFailure_ = ExportFailure::damaged;
};

} // namespace zemlar
