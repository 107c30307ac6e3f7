// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/AccountFlowError.hpp"
#include "ZemlarKit/GroupFlowError.hpp"

namespace zemlar {

std::string AccountFlowError::describe() const {
    switch (kind()) {
    case Kind::accounts:
        return "accounts(" + accountsError().describe() + ")";
    case Kind::secrets:
        return "secrets(" + secretsError().describe() + ")";
    case Kind::list:
        return "list(" + listError().describe() + ")";
    }
    return "list";
}

std::string GroupFlowError::describe() const {
    switch (kind_) {
    case Kind::groups:
        return "groups(" + storeError_.describe() + ")";
    case Kind::accounts:
        return "accounts(" + storeError_.describe() + ")";
    case Kind::list:
        return "list(" + listError_.describe() + ")";
    }
    return "list";
}

} // namespace zemlar
