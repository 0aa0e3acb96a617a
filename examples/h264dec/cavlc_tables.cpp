#include "cavlc_tables.h"

#include "../common/h264_cavlc_tables.h"

namespace h264dec {

// The packed tables come from the shared builder of examples/common.
CavlcTables::CavlcTables() {
    const zanvc_ex::H264CavlcTables& t = zanvc_ex::H264CavlcTables::Get();
    for (int i = 0; i < 3; ++i) coeffToken[i] = t.CoeffToken()[i];
    coeffTokenChromaDC = t.CoeffTokenChromaDc();
    for (int i = 0; i < 16; ++i) totalZeros[i] = t.TotalZeros()[i];
    for (int i = 0; i < 4; ++i) totalZerosDC[i] = t.TotalZerosChromaDc()[i];
    coeffTokenChromaDC422 = t.CoeffTokenChromaDc422();
    for (int i = 0; i < 8; ++i) totalZerosDC422[i] = t.TotalZerosChromaDc422()[i];
    for (int i = 0; i < 16; ++i) runBefore[i] = t.RunBefore()[i];
}

}  // namespace h264dec
