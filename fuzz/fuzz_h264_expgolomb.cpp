// libFuzzer target: the two H.264 Exp-Golomb decoders on random bits and
// bit offsets. Each call is repeated on an exact-size copy of the stream
// ending with the word that holds the bit 31 places after the returned
// cursor (after the entry cursor for a failing call); AddressSanitizer
// reports any read beyond. Results must match.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "zanvc.h"

namespace {

struct Out {
    ZanResult status;
    const Zan32u* p;
    Zan32s off;
    Zan32s value;
};

Out decode(bool wide, bool isSigned, const Zan32u* words, int64_t word, Zan32s off) {
    Out o{0, words + word, off, 0x5A5A5A5A};
    if (wide) {
        o.status = zaniDecodeExpGolombOne_H264_1u32s(&o.p, &o.off, &o.value, isSigned);
    } else {
        Zan16s v = 0x5A5A;
        o.status = zaniDecodeExpGolombOne_H264_1u16s(&o.p, &o.off, &v, isSigned);
        o.value = v;
    }
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t mode = data[0];
    Zan32s off = data[1] & 31;
    data += 2;
    size -= 2;
    const size_t nWords = (size + 3) / 4;
    std::vector<Zan32u> words(nWords + 4, 0);
    for (size_t i = 0; i < size; ++i) words[i / 4] |= Zan32u(data[i]) << (24 - 8 * (i % 4));

    int64_t word = 0;
    for (int codes = 0; codes < 256 && word < int64_t(nWords); ++codes) {
        const bool wide = (mode >> (codes & 7)) & 1, isSigned = codes & 1;
        const Out a = decode(wide, isSigned, words.data(), word, off);
        const Zan32u* from = a.status == ZAN_OK ? a.p : words.data() + word;
        const Zan32s fromOff = a.status == ZAN_OK ? a.off : off;
        if (a.status != ZAN_OK && (a.p != words.data() + word || a.off != off)) std::abort();
        const int64_t end = int64_t(from - words.data()) * 32 + (31 - fromOff) + 32;
        std::vector<Zan32u> exact(words.begin(), words.begin() + (end - 1) / 32 + 1);
        const Out b = decode(wide, isSigned, exact.data(), word, off);
        if (b.status != a.status || b.p - exact.data() != a.p - words.data() || b.off != a.off || b.value != a.value)
            std::abort();
        if (a.status != ZAN_OK) break;
        word = a.p - words.data();
        off = a.off;
    }
    return 0;
}
