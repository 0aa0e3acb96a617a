#include "nal.h"

#include <cstring>

namespace h264dec {

namespace {
// Position of the next start code prefix 00 00 01 at or after p, or n.
size_t find_start(const uint8_t* d, size_t p, size_t n) {
    while (p + 3 <= n) {
        const void* z = std::memchr(d + p, 1, n - p);
        if (!z) return n;
        size_t q = size_t(static_cast<const uint8_t*>(z) - d);
        if (q >= p + 2 && d[q - 1] == 0 && d[q - 2] == 0) return q - 2;
        p = q + 1;
    }
    return n;
}
}  // namespace

bool AnnexBReader::next(const uint8_t** nal, size_t* size) {
    for (;;) {
        size_t s = find_start(d_, pos_, n_);
        if (s >= n_) return false;
        size_t begin = s + 3;
        size_t e = find_start(d_, begin, n_);
        size_t end = e;
        while (end > begin && d_[end - 1] == 0) --end;  // trailing_zero_8bits
        pos_ = e;
        if (end > begin) {
            *nal = d_ + begin;
            *size = end - begin;
            return true;
        }
    }
}

void parse_nal(const uint8_t* nal, size_t size, NalUnit* out) {
    if (size < 1) fail("empty NAL unit");
    if (nal[0] & 0x80) fail("forbidden_zero_bit set in NAL unit header");
    out->nal_ref_idc = (nal[0] >> 5) & 3;
    out->nal_unit_type = nal[0] & 31;
    std::vector<uint32_t>& w = out->rbsp.words;
    w.assign((size + 3) / 4 + kRbspPadWords, 0xFFFFFFFFu);
    size_t nb = 0;
    int zeros = 0;
    uint32_t acc = 0;
    for (size_t i = 1; i < size; ++i) {
        uint8_t b = nal[i];
        if (zeros >= 2 && b == 3) {  // emulation_prevention_three_byte
            zeros = 0;
            continue;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        acc = (acc << 8) | b;
        ++nb;
        if ((nb & 3) == 0) w[nb / 4 - 1] = acc;
    }
    if (nb & 3) {
        unsigned r = unsigned(nb & 3);
        w[nb / 4] = (acc << (8 * (4 - r))) | (0xFFFFFFFFu >> (8 * r));
    }
    out->rbsp.bits = nb * 8;
}

}  // namespace h264dec
