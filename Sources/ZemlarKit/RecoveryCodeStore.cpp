// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/RecoveryCodeStore.hpp"

namespace zemlar {

Result<std::vector<std::string>, SecretStoreError> RecoveryCodeStore::codes(const UUID& id) {
    auto all = readAll();
    if (!all) {
        return fail(all.error());
    }
    const auto found = all->find(id);
    if (found == all->end()) {
        return std::vector<std::string>{};
    }
    return std::move(found->second);
}

} // namespace zemlar
