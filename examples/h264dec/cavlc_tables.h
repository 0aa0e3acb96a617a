// The standard's coeff_token, total_zeros and run_before code tables in the
// packed lookup form that the library's CAVLC decoders read.
#pragma once
#include <cstdint>

#include <zanvc.h>

namespace h264dec {

struct CavlcTables {
    CavlcTables();
    const Zan32s* coeffToken[3];     // nC 0..1, 2..3, 4..7
    const Zan32s* coeffTokenChromaDC;  // nC -1
    const Zan32s* totalZeros[16];    // by TotalCoeff (4x4 blocks)
    const Zan32s* totalZerosDC[4];   // by TotalCoeff (2x2 chroma DC)
    const Zan32s* coeffTokenChromaDC422;  // nC -2
    const Zan32s* totalZerosDC422[8];     // by TotalCoeff (2x4 chroma DC)
    const Zan32s* runBefore[16];     // by zerosLeft
};

}  // namespace h264dec
