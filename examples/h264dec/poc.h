// Picture order count (H.264 8.2.1) as a pure computation over the state
// that carries from one picture to the next.
#pragma once

#include "params.h"
#include "slice.h"

namespace h264dec {

struct PocState {
    int prevMsb = 0, prevLsb = 0;  // type 0: of the previous reference picture
    int prevFrameNumOffset = 0;    // types 1 and 2: of the previous picture
    int prevFrameNum = 0;
    // of the picture being decoded
    int msb = 0, frameNumOffset = 0;
    int top = 0, bottom = 0;
};

// TopFieldOrderCnt and BottomFieldOrderCnt of a frame with slice header sh;
// also returns min(top, bottom), the frame's POC.
int compute_poc(const Sps& sps, const SliceHeader& sh, PocState* st);

// Carries the state past the decoded picture. mmco5: the picture held
// memory_management_control_operation 5 (its POC is rebased to 0 here and
// the new POC returned).
int finish_poc(const SliceHeader& sh, bool mmco5, PocState* st);

}  // namespace h264dec
