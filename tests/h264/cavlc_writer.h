// An H.264 CAVLC and Exp-Golomb writer for the tests and benchmarks, written
// from the encoder's side of H.264 7.3.5.3.2 and 9.2 (levelCode to
// level_prefix/level_suffix, trailing ones counted from the highest
// frequency) with the code strings of Tables 9-5, 9-7 to 9-10. It shares no
// code with the library's decoders.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "../../examples/common/h264_cavlc_tables.h"

namespace cavlc_writer {

// Bits into 32-bit words, first bit in bit 31 (the library's word cursor).
class BitWriter {
public:
    void put(uint32_t value, int n) {  // n = 0..32, most significant first
        for (int i = n - 1; i >= 0; --i) bit((value >> i) & 1);
    }
    void put_code(const char* s) {
        for (; *s; ++s) bit(*s == '1');
    }
    void zeros(int n) {
        for (int i = 0; i < n; ++i) bit(0);
    }
    int64_t pos() const { return pos_; }
    // The words, followed by `pad` words of padding.
    std::vector<uint32_t> words(int pad = 2, uint32_t padValue = 0) const {
        std::vector<uint32_t> w = words_;
        w.insert(w.end(), size_t(pad), padValue);
        return w;
    }

private:
    void bit(uint32_t b) {
        if ((pos_ & 31) == 0) words_.push_back(0);
        words_.back() |= (b & 1) << (31 - (pos_ & 31));
        ++pos_;
    }
    std::vector<uint32_t> words_;
    int64_t pos_ = 0;
};

// ue(v) and se(v) (H.264 9.1).
inline void put_ue(BitWriter& w, uint32_t v) {
    const uint64_t x = uint64_t(v) + 1;
    int len = 0;
    while ((x >> (len + 1)) != 0) ++len;
    w.zeros(len);
    for (int i = len; i >= 0; --i) w.put(uint32_t(x >> i) & 1, 1);
}
inline void put_se(BitWriter& w, int32_t v) {
    put_ue(w, v > 0 ? uint32_t(2 * int64_t(v) - 1) : uint32_t(-2 * int64_t(v)));
}

enum class Kind { Block4x4, ChromaDc2x2, ChromaDc2x4 };

inline const char* coeff_token_code(int col, int trailingOnes, int totalCoeff) {
    for (const auto& c : zanvc_ex::CoeffTokenCodes())
        if (c.trailingOnes == trailingOnes && c.totalCoeff == totalCoeff && c.code[col]) return c.code[col];
    throw std::logic_error("no coeff_token code");
}

inline const char* total_zeros_code(Kind kind, int totalCoeff, int totalZeros) {
    const auto block = kind == Kind::Block4x4      ? zanvc_ex::TotalZerosBlock::Block4x4
                       : kind == Kind::ChromaDc2x2 ? zanvc_ex::TotalZerosBlock::ChromaDc2x2
                                                   : zanvc_ex::TotalZerosBlock::ChromaDc2x4;
    for (const auto& c : zanvc_ex::TotalZerosCodes())
        if (c.block == block && c.tzVlcIndex == totalCoeff && c.totalZeros == totalZeros) return c.code;
    throw std::logic_error("no total_zeros code");
}

inline const char* run_before_code(int zerosLeft, int run) {
    const int zl = zerosLeft > 6 ? 7 : zerosLeft;
    for (const auto& c : zanvc_ex::RunBeforeCodes())
        if (c.zerosLeft == zl && c.runBefore == run) return c.code;
    throw std::logic_error("no run_before code");
}

// One level (H.264 9.2.2.1 read backwards): levelCode, then level_prefix
// and level_suffix for the current suffixLength, escapes included.
inline void put_level(BitWriter& w, int32_t level, int suffixLength, bool firstAfterFewOnes) {
    int64_t levelCode = level > 0 ? 2 * int64_t(level) - 2 : -2 * int64_t(level) - 1;
    if (firstAfterFewOnes) levelCode -= 2;
    int64_t esc;  // levelCode above the non-escape range
    if (suffixLength == 0) {
        if (levelCode < 14) {
            w.zeros(int(levelCode));
            w.put(1, 1);
            return;
        }
        if (levelCode < 30) {
            w.zeros(14);
            w.put(1, 1);
            w.put(uint32_t(levelCode - 14), 4);
            return;
        }
        esc = levelCode - 30;
    } else {
        if (levelCode < (int64_t(15) << suffixLength)) {
            w.zeros(int(levelCode >> suffixLength));
            w.put(1, 1);
            w.put(uint32_t(levelCode & ((1 << suffixLength) - 1)), suffixLength);
            return;
        }
        esc = levelCode - (int64_t(15) << suffixLength);
    }
    if (esc < 4096) {
        w.zeros(15);
        w.put(1, 1);
        w.put(uint32_t(esc), 12);
        return;
    }
    for (int prefix = 16;; ++prefix) {
        const int64_t size = int64_t(1) << (prefix - 3), base = size - 4096;
        if (esc - base < size) {
            if (prefix > 31) throw std::logic_error("level too large");
            w.zeros(prefix);
            w.put(1, 1);
            w.put(uint32_t(esc - base), prefix - 3);
            return;
        }
    }
}

// Writes residual_block_cavlc() for the coefficients `list` in scan order
// (maxNumCoeff of them, from the first coded scan index). nC selects the
// coeff_token column of a 4x4 block; chroma DC kinds use nC -1 / -2.
// Returns TotalCoeff.
inline int put_block(BitWriter& w, Kind kind, int nC, const int32_t* list, int maxNumCoeff) {
    int idx[16], total = 0;
    for (int k = 0; k < maxNumCoeff; ++k)
        if (list[k]) idx[total++] = k;
    int trailingOnes = 0;
    while (trailingOnes < total && trailingOnes < 3 && std::abs(list[idx[total - 1 - trailingOnes]]) == 1)
        ++trailingOnes;

    if (kind == Kind::Block4x4 && nC >= 8) {
        w.put(total == 0 ? 3u : uint32_t((total - 1) << 2 | trailingOnes), 6);
    } else {
        const int col = kind == Kind::ChromaDc2x2   ? zanvc_ex::kNCMinus1
                        : kind == Kind::ChromaDc2x4 ? zanvc_ex::kNCMinus2
                        : nC < 2                    ? zanvc_ex::kNC0to1
                        : nC < 4                    ? zanvc_ex::kNC2to3
                                                    : zanvc_ex::kNC4to7;
        w.put_code(coeff_token_code(col, trailingOnes, total));
    }
    if (total == 0) return 0;

    // Highest frequency first.
    for (int i = 0; i < trailingOnes; ++i) w.put(list[idx[total - 1 - i]] < 0 ? 1 : 0, 1);
    int suffixLength = (total > 10 && trailingOnes < 3) ? 1 : 0;
    for (int i = trailingOnes; i < total; ++i) {
        const int32_t level = list[idx[total - 1 - i]];
        put_level(w, level, suffixLength, i == trailingOnes && trailingOnes < 3);
        if (suffixLength == 0) suffixLength = 1;
        if (std::abs(int64_t(level)) > (int64_t(3) << (suffixLength - 1)) && suffixLength < 6) ++suffixLength;
    }
    int zerosLeft = idx[total - 1] + 1 - total;
    if (total < maxNumCoeff) w.put_code(total_zeros_code(kind, total, zerosLeft));
    for (int i = total - 1; i > 0 && zerosLeft > 0; --i) {
        const int run = idx[i] - idx[i - 1] - 1;
        w.put_code(run_before_code(zerosLeft, run));
        zerosLeft -= run;
    }
    return total;
}

}  // namespace cavlc_writer
