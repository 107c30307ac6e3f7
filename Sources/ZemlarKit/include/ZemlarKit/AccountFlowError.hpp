// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ZemlarKit/AccountStoreError.hpp"
#include "ZemlarKit/SecretStoreError.hpp"

#include <OTPCore/AccountList.hpp>
#include <string>
#include <variant>

namespace zemlar {

/// The error of an account flow: the store or list operation that failed, with its own error.
class AccountFlowError {
public:
    enum class Kind { accounts, secrets, list };

    static AccountFlowError accounts(AccountStoreError error) { return AccountFlowError(error); }
    static AccountFlowError secrets(SecretStoreError error) { return AccountFlowError(error); }
    static AccountFlowError list(AccountListError error) { return AccountFlowError(error); }

    Kind kind() const { return static_cast<Kind>(payload_.index()); }
    /// The payloads; each only for its own kind.
    const AccountStoreError& accountsError() const { return std::get<0>(payload_); }
    const SecretStoreError& secretsError() const { return std::get<1>(payload_); }
    const AccountListError& listError() const { return std::get<2>(payload_); }
    std::string describe() const;

    bool operator==(const AccountFlowError&) const = default;

private:
    template <class Payload> explicit AccountFlowError(Payload payload) : payload_(payload) {}

    std::variant<AccountStoreError, SecretStoreError, AccountListError> payload_;
};

} // namespace zemlar
