// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/CodeDeliveryFlowError.hpp"

namespace zemlar {

std::string CodeDeliveryFlowError::describe() const {
    switch (kind()) {
    case Kind::secrets:
        return "secrets(" + secretsError().describe() + ")";
    case Kind::delivery:
        return "delivery(" + deliveryError().describe() + ")";
    }
    return "delivery(" + deliveryError().describe() + ")";
}

} // namespace zemlar
