// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStore.hpp"
#include "ZemlarKit/BackupFileStore.hpp"
#include "ZemlarKit/BackupKeyStore.hpp"
#include "ZemlarKit/GroupStore.hpp"
#include "ZemlarKit/InboxImportError.hpp"
#include "ZemlarKit/InboxTakenStore.hpp"
#include "ZemlarKit/SecretStore.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zemlar {

/// What one look at the inbox added.
struct InboxImportReport {
    /// Titles of the accounts added, in inbox order.
    std::vector<std::string> added;
    /// Distinct inbox accounts not added, for whatever reason.
    std::int64_t skipped = 0;

    bool operator==(const InboxImportReport&) const = default;
};

/// The outcome of checking the inbox file against the hash of the last one processed.
class InboxCheckOutcome {
public:
    enum class Kind { imported, failed, unchanged };

    /// The file was new and its import succeeded; `hash` is to be kept for the next check.
    static InboxCheckOutcome imported(InboxImportReport report, std::string hash) {
        return {Kind::imported, std::move(report), std::move(hash), std::nullopt, std::nullopt};
    }
    /// `stamp`: the file's, when the file itself is at fault (damaged, or sealed with an old
    /// key), so that the next check can pass over the same file.
    static InboxCheckOutcome failed(InboxImportError error,
                                    std::optional<FileStamp> stamp = std::nullopt) {
        return {Kind::failed, {}, {}, std::move(error), stamp};
    }
    /// No file, an unreadable one, or the file last processed.
    static InboxCheckOutcome unchanged() {
        return {Kind::unchanged, {}, {}, std::nullopt, std::nullopt};
    }

    Kind kind() const { return kind_; }
    /// For imported.
    const InboxImportReport& report() const { return report_; }
    const std::string& hash() const { return hash_; }
    /// For failed.
    const InboxImportError& error() const { return *error_; }
    const std::optional<FileStamp>& failedStamp() const { return failedStamp_; }

    bool operator==(const InboxCheckOutcome&) const = default;

private:
    InboxCheckOutcome(Kind kind, InboxImportReport report, std::string hash,
                      std::optional<InboxImportError> error, std::optional<FileStamp> failedStamp)
        : kind_(kind), report_(std::move(report)), hash_(std::move(hash)), error_(std::move(error)),
          failedStamp_(failedStamp) {}

    Kind kind_;
    InboxImportReport report_;
    std::string hash_;
    std::optional<InboxImportError> error_;
    std::optional<FileStamp> failedStamp_;
};

/// Takes over the accounts the phone left in its inbox file. The file is never changed; the
/// identifiers taken are remembered instead, so an account deleted here does not come back.
namespace InboxImportFlow {

/// Opens the inbox with the stored key (a file sealed with another salt or count is refused
/// before any decryption), adds the accounts not taken before, not present and not identical
/// to a local one, and remembers every identifier of the file. A failure, a secret store that
/// cannot store the secrets included, leaves the taken set as it was.
Result<InboxImportReport, InboxImportError> run(std::span<const std::uint8_t> data,
                                                AccountStore& accountStore, GroupStore& groupStore,
                                                SecretStore& secretStore, BackupKeyStore& keyStore,
                                                InboxTakenStore& takenStore);

/// 64 lower-case hexadecimal digits of the SHA-256 of the bytes.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

/// Reads the inbox; no file, an unreadable file, one whose hash equals `lastHash` or one whose
/// stamp equals `failedStamp` (it failed and has not changed since) is unchanged, anything
/// else is run.
InboxCheckOutcome importInbox(const std::optional<std::string>& lastHash,
                              BackupFileStore& fileStore, AccountStore& accountStore,
                              GroupStore& groupStore, SecretStore& secretStore,
                              BackupKeyStore& keyStore, InboxTakenStore& takenStore,
                              const std::optional<FileStamp>& failedStamp = std::nullopt);

} // namespace InboxImportFlow
} // namespace zemlar
