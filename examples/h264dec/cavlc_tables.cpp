#include "cavlc_tables.h"

#include <algorithm>
#include <cstring>

#if H264DEC_HAVE_CAVLC
#include "../common/h264_cavlc_tables.h"
#else
#include "cavlc_codes_tmp.h"
#endif

namespace h264dec {

#if H264DEC_HAVE_CAVLC
CavlcTables::CavlcTables() {
    const zanvc_ex::H264CavlcTables& t = zanvc_ex::H264CavlcTables::Get();
    for (int i = 0; i < 3; ++i) coeffToken[i] = t.CoeffToken()[i];
    coeffTokenChromaDC = t.CoeffTokenChromaDc();
    for (int i = 0; i < 16; ++i) totalZeros[i] = t.TotalZeros()[i];
    for (int i = 0; i < 4; ++i) totalZerosDC[i] = t.TotalZerosChromaDc()[i];
    for (int i = 0; i < 16; ++i) runBefore[i] = t.RunBefore()[i];
}
#else
namespace {
// One-level packed table: entry 0 = w (longest code), entry 1 + i for every
// w-bit index i: value << 8 | (w - code length); invalid codes 0xF0F1 << 8.
std::vector<Zan32s> pack(const tmpcodes::Code* codes) {
    int w = 0;
    for (const tmpcodes::Code* c = codes; c->bits; ++c) w = std::max(w, int(std::strlen(c->bits)));
    std::vector<Zan32s> t(size_t(1 + (1 << w)), Zan32s(0xF0F1 << 8));
    t[0] = w;
    for (const tmpcodes::Code* c = codes; c->bits; ++c) {
        int len = int(std::strlen(c->bits));
        int v = 0;
        for (int i = 0; i < len; ++i) v = v * 2 + (c->bits[i] - '0');
        for (int k = 0; k < (1 << (w - len)); ++k) t[size_t(1 + (v << (w - len)) + k)] = Zan32s(c->value << 8 | (w - len));
    }
    return t;
}
}  // namespace

CavlcTables::CavlcTables() {
    using namespace tmpcodes;
    const Code* ct[3] = {ct0, ct1, ct2};
    const Code* tz[15] = {tz_4x4_1, tz_4x4_2, tz_4x4_3,  tz_4x4_4,  tz_4x4_5,  tz_4x4_6,  tz_4x4_7, tz_4x4_8,
                          tz_4x4_9, tz_4x4_10, tz_4x4_11, tz_4x4_12, tz_4x4_13, tz_4x4_14, tz_4x4_15};
    const Code* tzdc[3] = {tz_cdc2x2_1, tz_cdc2x2_2, tz_cdc2x2_3};
    const Code* rb[7] = {rb_1, rb_2, rb_3, rb_4, rb_5, rb_6, rb_7};
    store_.reserve(40);
    auto add = [&](const Code* c) {
        store_.push_back(pack(c));
        return store_.back().data();
    };
    for (int i = 0; i < 3; ++i) coeffToken[i] = add(ct[i]);
    coeffTokenChromaDC = add(ctm1);
    totalZeros[0] = nullptr;
    for (int i = 0; i < 15; ++i) totalZeros[i + 1] = add(tz[i]);
    totalZerosDC[0] = nullptr;
    for (int i = 0; i < 3; ++i) totalZerosDC[i + 1] = add(tzdc[i]);
    runBefore[0] = nullptr;
    for (int i = 0; i < 6; ++i) runBefore[i + 1] = add(rb[i]);
    const Zan32s* over6 = add(rb[6]);
    for (int i = 7; i < 16; ++i) runBefore[i] = over6;
}

#endif

}  // namespace h264dec
