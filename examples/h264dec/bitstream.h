// Bit reading for the example H.264 decoder.
//
// An RBSP (NAL payload with emulation prevention bytes removed) is stored as
// an array of 32-bit words, four stream bytes per word with the first byte in
// bits 31..24: the form the library's bit-stream functions read. The decoder
// reads headers with its own BitReader and hands the same position to the
// library as a (word pointer, bit offset) cursor for residual blocks.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace h264dec {

// Every decoding failure (corrupt or unsupported stream) ends up here.
struct DecodeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void fail(const std::string& what) { throw DecodeError(what); }

// Words of padding behind every RBSP. The padding holds one bits, so that any
// look-ahead of a variable-length decoder stops quickly inside the padding;
// reads that end inside it are reported as truncation by the caller.
constexpr size_t kRbspPadWords = 16;

struct Rbsp {
    std::vector<uint32_t> words;  // big-endian packed payload + padding
    size_t bits = 0;              // payload length in bits (trailing bits included)
};

class BitReader {
public:
    BitReader() = default;
    explicit BitReader(const Rbsp& r) : w_(r.words.data()), bits_(r.bits) {}

    size_t pos() const { return pos_; }
    size_t size() const { return bits_; }
    size_t left() const { return pos_ < bits_ ? bits_ - pos_ : 0; }
    void check() const {
        if (pos_ > bits_) fail("truncated NAL unit");
    }

    uint32_t peek32() const {
        size_t wi = pos_ >> 5;
        unsigned sh = pos_ & 31;
        uint64_t v = (uint64_t(w_[wi]) << 32) | w_[wi + 1];
        return uint32_t(v >> (32 - sh));
    }
    uint32_t u(unsigned n) {  // n <= 32
        if (n == 0) return 0;
        uint32_t v = peek32() >> (32 - n);
        skip(n);
        return v;
    }
    bool flag() { return u(1) != 0; }
    void skip(size_t n) {
        pos_ += n;
        if (pos_ > bits_ + 32 * (kRbspPadWords - 2)) fail("truncated NAL unit");
    }
    uint32_t ue() {
        uint32_t p = peek32();
        if (p == 0) fail("Exp-Golomb code too long");
        unsigned lz = unsigned(__builtin_clz(p));
        if (lz > 15) {  // long codes: prefix, then info bits
            skip(lz + 1);
            return (uint32_t(1) << lz) - 1 + u(lz);
        }
        skip(2 * lz + 1);
        return (p >> (31 - 2 * lz)) - 1;
    }
    int32_t se() {
        uint32_t k = ue();
        return (k & 1) ? int32_t((k + 1) >> 1) : -int32_t(k >> 1);
    }
    // te(v) with range rangeMax (> 0).
    uint32_t te(uint32_t rangeMax) { return rangeMax > 1 ? ue() : (u(1) ^ 1); }
    bool byte_aligned() const { return (pos_ & 7) == 0; }
    // more_rbsp_data(): anything but the stop bit and zero bits left.
    bool more_rbsp_data() const {
        if (pos_ >= bits_) return false;
        // the stop bit is the last one bit of the payload
        size_t last = bits_;
        while (last > 0) {
            size_t b = last - 1;
            if ((w_[b >> 5] >> (31 - (b & 31))) & 1) break;
            --last;
        }
        return pos_ + 1 < last;
    }

    // The library's cursor form for the current position.
    const uint32_t* word_ptr() const { return w_ + (pos_ >> 5); }
    int32_t bit_offset() const { return int32_t(31 - (pos_ & 31)); }
    const uint32_t* base() const { return w_; }
    void set_from_cursor(const uint32_t* p, int32_t offset) {
        pos_ = size_t(p - w_) * 32 + size_t(31 - offset);
        if (pos_ > bits_ + 32 * (kRbspPadWords - 2)) fail("truncated NAL unit");
    }

private:
    const uint32_t* w_ = nullptr;
    size_t bits_ = 0;
    size_t pos_ = 0;
};

// ue(v) with an upper bound (at most INT_MAX), checked before it becomes an
// int.
inline int ue_max(BitReader& br, uint32_t max, const char* what) {
    uint32_t v = br.ue();
    if (v > max) fail(std::string(what) + " out of range");
    return int(v);
}

// se(v) of a picture order count offset or difference; magnitudes above
// 2^28 would let the POC arithmetic overflow and occur in no real stream.
inline int se_poc(BitReader& br, const char* what) {
    int v = br.se();
    if (v < -(1 << 28) || v > (1 << 28)) fail(std::string(what) + " out of range");
    return v;
}

}  // namespace h264dec
