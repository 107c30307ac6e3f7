// SPDX-License-Identifier: GPL-3.0-or-later
// Account and group lists kept in memory, for the flows that only need a store.
#pragma once

#include <ZemlarKit/AccountStore.hpp>
#include <ZemlarKit/GroupStore.hpp>

namespace zemlar::testing {

template <class Store, class List> class MemoryListStore : public Store {
public:
    Result<List, AccountStoreError> load() override { return list; }
    Result<void, AccountStoreError> save(const List& saved) override {
        ++saves;
        list = saved;
        return {};
    }

    List list;
    int saves = 0;
};

using MemoryAccountStore = MemoryListStore<AccountStore, Accounts>;
using MemoryGroupStore = MemoryListStore<GroupStore, Groups>;

} // namespace zemlar::testing
