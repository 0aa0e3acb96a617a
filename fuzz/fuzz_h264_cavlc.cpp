// libFuzzer target: the seven H.264 CAVLC block decoders on random bits,
// random bit offsets and random nC, with the standard's tables. Each
// successful call is repeated on an exact-size copy of the stream that ends
// with the word holding the bit 31 places after the returned cursor (the
// documented look-ahead), and each failing call on a copy that ends 31 bits
// after the most a block can consume: AddressSanitizer reports any read
// beyond. Results must match, and every error leaves the cursor in place.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "h264_cavlc_tables.h"
#include "zanvc.h"

namespace {

// The most bits one block can consume: coeff_token 16, trailing-one signs
// 3, 16 levels of level_prefix 31 + 1 + 28 suffix bits, total_zeros 9, 15
// run_before codes of 11.
constexpr int64_t kMaxBlockBits = 16 + 3 + 16 * 60 + 9 + 15 * 11;

const zanvc_ex::H264CavlcTables& tables() { return zanvc_ex::H264CavlcTables::Get(); }

struct Out {
    ZanResult status;
    const Zan32u* p;
    Zan32s off;
    Zan16s tc;
    ptrdiff_t advance;
    Zan32s blk[64];
};

// Decodes one block with decoder `which` (0..6) at (words + word, off).
Out decode(int which, const Zan32u* words, int64_t word, Zan32s off, int nC, int maxNumCoeff) {
    static const Zan32s zigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
    ZanCAVLCScanPos_H264 recs[64];
    for (int k = 0; k < 64; ++k) recs[k] = {(k * 37) & 63, 0};
    const auto& t = tables();
    Out o;
    std::memset(o.blk, 0x77, sizeof o.blk);
    o.p = words + word;
    o.off = off;
    o.tc = -1;
    Zan16s* p16 = reinterpret_cast<Zan16s*>(o.blk);
    Zan32s* p32 = o.blk;
    switch (which) {
        case 0:
            o.status = zaniDecodeCAVLCCoeffs_H264_1u16s(&o.p, &o.off, &o.tc, &p16, nC, maxNumCoeff, t.CoeffToken(),
                                                        t.TotalZeros(), t.RunBefore(), zigzag);
            break;
        case 1:
            o.status = zaniDecodeCAVLCCoeffs_H264_1u32s(&o.p, &o.off, &o.tc, &p32, nC, maxNumCoeff, t.CoeffToken(),
                                                        t.TotalZeros(), t.RunBefore(), zigzag);
            break;
        case 2:
            o.status = zaniDecodeCAVLCChromaDcCoeffs_H264_1u16s(&o.p, &o.off, &o.tc, &p16, t.CoeffTokenChromaDc(),
                                                                t.TotalZerosChromaDc(), t.RunBefore());
            break;
        case 3:
            o.status = zaniDecodeCAVLCChromaDcCoeffs_H264_1u32s(&o.p, &o.off, &o.tc, &p32, t.CoeffTokenChromaDc(),
                                                                t.TotalZerosChromaDc(), t.RunBefore());
            break;
        case 4:
            o.status = zaniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(
                &o.p, &o.off, &o.tc, &p16, t.CoeffTokenChromaDc422(), t.TotalZerosChromaDc422(), t.RunBefore());
            break;
        case 5:
            o.status = zaniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(
                &o.p, &o.off, &o.tc, &p32, t.CoeffTokenChromaDc422(), t.TotalZerosChromaDc422(), t.RunBefore());
            break;
        default:
            o.status = zaniDecodeCAVLCCoeffsIdxs_H264_1u16s(&o.p, &o.off, &o.tc, &p16, nC, maxNumCoeff,
                                                            t.CoeffToken(), t.TotalZeros(), t.RunBefore(), recs,
                                                            nC & 3, 4);
            break;
    }
    o.advance = (which & 1) && which != 6 ? p32 - o.blk : p16 - reinterpret_cast<Zan16s*>(o.blk);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int which = data[0] % 7;
    const int nC = data[1] % 20;
    const int maxNumCoeff = (data[1] & 0x80) ? 15 : 16;
    Zan32s off = data[2] & 31;
    data += 3;
    size -= 3;
    // The stream: bytes in stream order, four to a word, first in bits 31..24.
    const size_t nWords = (size + 3) / 4;
    std::vector<Zan32u> words(nWords + size_t(kMaxBlockBits / 32) + 4, 0);
    for (size_t i = 0; i < size; ++i) words[i / 4] |= Zan32u(data[i]) << (24 - 8 * (i % 4));

    int64_t word = 0;
    for (int blocks = 0; blocks < 64 && word < int64_t(nWords); ++blocks) {
        const Out a = decode(which, words.data(), word, off, nC, maxNumCoeff);
        int64_t end;  // bits of the exact copy
        if (a.status == ZAN_OK) {
            end = int64_t(a.p - words.data()) * 32 + (31 - a.off) + 32;
        } else {
            if (a.p != words.data() + word || a.off != off || a.tc != -1 || a.advance != 0) std::abort();
            end = word * 32 + (31 - off) + kMaxBlockBits + 32;
        }
        // Exact-size copy: words up to the one holding bit end - 1.
        std::vector<Zan32u> exact(words.begin(), words.begin() + (end - 1) / 32 + 1);
        const Out b = decode(which, exact.data(), word, off, nC, maxNumCoeff);
        if (b.status != a.status || b.p - exact.data() != a.p - words.data() || b.off != a.off || b.tc != a.tc ||
            b.advance != a.advance || std::memcmp(a.blk, b.blk, sizeof a.blk) != 0)
            std::abort();
        if (a.status != ZAN_OK) break;
        word = a.p - words.data();
        off = a.off;
    }
    return 0;
}
