// The version record: static, read-only, the same pointer on every call.
#include "core/common.h"

namespace zan::c {

static const ZanVersionInfo kVersion = {
    8, 2, 1, 44077, {'l', '9', 0, 0}, "zanVC AVX2 (l9 threaded)", "8.2.1 (r44077)", "Oct  9 2014",
};

const ZanVersionInfo* zanvcGetLibVersion(void) { return &kVersion; }

}  // namespace zan::c
