// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/AccountStoreError.hpp"

namespace zemlar {

std::string AccountStoreError::describe() const {
    switch (kind_) {
    case Kind::corrupted:
        return "corrupted(" + codecError_.describe() + ")";
    case Kind::readFailed:
        return "readFailed";
    case Kind::writeFailed:
        return "writeFailed";
    }
    return "readFailed";
}

} // namespace zemlar
