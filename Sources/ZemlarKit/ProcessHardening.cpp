// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZemlarKit/ProcessHardening.hpp"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace zemlar::ProcessHardening {

bool apply() {
    const rlimit noCore{.rlim_cur = 0, .rlim_max = 0};
    const bool limited = setrlimit(RLIMIT_CORE, &noCore) == 0;
    const bool undumpable = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return limited && undumpable;
}

} // namespace zemlar::ProcessHardening
