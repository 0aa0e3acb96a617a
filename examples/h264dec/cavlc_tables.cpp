#include "cavlc_tables.h"

#if H264DEC_HAVE_CAVLC
#include "../common/h264_cavlc_tables.h"
#endif

namespace h264dec {

// The packed tables come from the shared builder of examples/common; without
// the library's CAVLC decoders (stubbed) there is nothing to build.
CavlcTables::CavlcTables() : coeffToken(), coeffTokenChromaDC(), totalZeros(), totalZerosDC(), runBefore() {
#if H264DEC_HAVE_CAVLC
    const zanvc_ex::H264CavlcTables& t = zanvc_ex::H264CavlcTables::Get();
    for (int i = 0; i < 3; ++i) coeffToken[i] = t.CoeffToken()[i];
    coeffTokenChromaDC = t.CoeffTokenChromaDc();
    for (int i = 0; i < 16; ++i) totalZeros[i] = t.TotalZeros()[i];
    for (int i = 0; i < 4; ++i) totalZerosDC[i] = t.TotalZerosChromaDc()[i];
    for (int i = 0; i < 16; ++i) runBefore[i] = t.RunBefore()[i];
#endif
}

}  // namespace h264dec
