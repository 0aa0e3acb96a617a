// The word-oriented bit cursor, shared by every reader of a stream stored as
// 32-bit words: the H.264 CAVLC and Exp-Golomb decoders, the MPEG-1/2
// Huffman decoders and the AVS block decoders.
//
// Stream form. The stream is an array of native 32-bit words; within a word
// the most significant bit comes first, so the caller stores each group of
// four stream bytes with the first of them in bits 31..24. The cursor is a
// pointer to the current word plus the number n (31..0) of the next bit to
// read in it; a fresh word starts at n = 31.
//
// Reads. Reading k bits (1..32) at n takes bits n..n-k+1 of the current word
// when n - k >= 0 and leaves n - k; otherwise it takes the n + 1 remaining
// bits and the leading bits of the next word, advances the pointer by one
// word and leaves n - k + 32 (so a read that ends on bit 0 leaves the next
// word at 31, and offset 0 on entry reads bit 0 and moves on). A read
// touches the next word only when it needs bits from it, so a read (or peek)
// never loads a word that starts more than 31 bits after the cursor.
//
// Two forms: WordCursor is the caller's cursor itself (pointer and offset);
// BitWindow holds the next 32..63 bits in a register for a decoder that
// reads many codes in a row, with the same look-ahead bound, and converts
// back to a WordCursor at the end.
//
// Give-back. Bits read ahead and not used are returned by adding their count
// to n; when n then exceeds 31, 32 is subtracted and the pointer steps back a
// word.
//
// Packed lookup tables. The variable-length tables that callers hand to the
// H.264 CAVLC decoders (and that the MPEG-1/2 Huffman table builders make)
// share one form, walked by lookup() below; see the packed form described
// with the CAVLC decoders in include/zanvc.h.
//
// Internal linkage throughout (core/common.h): the portable and the AVX2
// files each get their own copy.
#pragma once

#include <cstdint>

#include "core/common.h"

namespace zan::bits {
namespace {

// Count of leading zero bits of a non-zero word.
ZAN_INLINE int clz32(uint32_t v) { return __builtin_clz(v); }

struct WordCursor {
    const uint32_t* p;  // current word
    int32_t n;          // next bit of *p, 31..0

    // The next k bits (0..32) as the high bits of the result, the rest zero;
    // the cursor does not move. Loads p[1] only when k > n + 1.
    uint32_t peek_msb(int k) const {
        const uint32_t hi = p[0] << (31 - n);  // bit n moved to bit 31
        if (k <= n + 1) return hi;
        return hi | (p[1] >> (n + 1));  // n < 31 here, so the shift is 1..31
    }

    // The next k bits (0..32), right-aligned, without moving the cursor.
    uint32_t peek(int k) const { return uint32_t(uint64_t(peek_msb(k)) >> (32 - k)); }

    // Moves the cursor over k bits (0..32): at most one word boundary.
    void skip(int k) {
        const int32_t m = n - k;  // -32..31
        p += (m >> 31) & 1;       // without a branch: crossings are data-dependent
        n = m & 31;
    }

    // Moves over any number of bits without reading them.
    void skip_long(int64_t k) {
        const int64_t pos = int64_t(31 - n) + k;  // bits from the top of *p
        p += pos >> 5;
        n = 31 - int32_t(pos & 31);
    }

    // Reads k bits (0..32), right-aligned (0 for k = 0).
    uint32_t read(int k) {
        const uint32_t v = peek(k);
        skip(k);
        return v;
    }

    uint32_t read_bit() {
        const uint32_t v = (p[0] >> n) & 1u;
        skip(1);
        return v;
    }

    // Returns k (0..32) bits read ahead and not used.
    void give_back(int k) {
        n += k;
        if (n > 31) {
            n -= 32;
            --p;
        }
    }

    // Position in bits from a base word's top bit (for tests and bounds).
    int64_t bit_pos(const uint32_t* base) const { return int64_t(p - base) * 32 + (31 - n); }
};

// A 64-bit window over the stream for decoders that read many codes in a
// row: the next 32..63 bits sit at the top of `bits`, so a 32-bit peek is a
// shift. It loads the next word only when fewer than 32 bits remain, and
// that word starts at most 31 bits after the position reached, so the
// window keeps the cursor's look-ahead bound. Built from a cursor and turned
// back into one when the decoder is done.
struct BitWindow {
    const uint32_t* next;  // next word to load
    uint64_t bits;         // upcoming bits, most significant first
    int avail;             // valid bits at the top of `bits`: 32..63

    explicit BitWindow(const WordCursor& c)
        : next(c.p + 1), bits(uint64_t(c.p[0] << (31 - c.n)) << 32), avail(c.n + 1) {
        refill();
    }
    void refill() {
        if (avail < 32) {
            bits |= uint64_t(*next++) << (32 - avail);
            avail += 32;
        }
    }
    uint32_t peek_msb(int) const { return uint32_t(bits >> 32); }  // always the next 32 bits
    void skip(int k) {  // k = 0..32
        bits <<= k;
        avail -= k;
        refill();
    }
    uint32_t read(int k) {  // k = 0..32, right-aligned
        const uint32_t v = uint32_t((bits >> 32) >> (32 - k));
        skip(k);
        return v;
    }
    WordCursor cursor() const {
        const int w = (avail - 1) >> 5;  // 0: the position is in next[-1], 1: in next[-2]
        return {next - 1 - w, (avail - 1) & 31};
    }
};

// Result of one packed-table lookup.
struct Leaf {
    int32_t value;  // bits 8..31 of the leaf, arithmetic shift
    bool valid;     // false: the invalid-code marker, or a malformed table
};

// The value of the invalid-code marker in bits 8..31 of a leaf.
inline constexpr int32_t kInvalidCode = 0xF0F1;

// Longest path through one packed table (sum of the widths of its levels).
inline constexpr int kMaxLookupBits = 32;

// Walks a packed VLC table at the cursor. Entry 0 of a (sub-)table is the
// width w of its index; the next w bits select entry 1 + index. An entry
// whose low byte is negative as a signed byte links to the sub-table whose
// entry 0 stands at bits 8..31 (arithmetic shift) of the array; otherwise it
// is a leaf: bits 0..7 are the read-ahead bits to give back (w minus the
// code's length at that level), bits 8..31 the value.
//
// One 32-bit window serves every level; the cursor moves once, over the
// bits the code used. On an invalid code the cursor is left where it was.
// A path longer than 32 bits, a width outside 1..32 or a give-back larger
// than its level's width is treated as an invalid code, so a malformed
// table cannot move the cursor backwards or loop.
template <class Cursor>  // WordCursor or BitWindow
inline Leaf lookup(Cursor& c, const int32_t* table) {
    const uint32_t window = c.peek_msb(kMaxLookupBits);
    const int32_t* t = table;
    int used = 0;
    for (;;) {
        const int w = t[0];
        if (uint32_t(w - 1) >= uint32_t(kMaxLookupBits - used)) return {0, false};  // w outside 1..32 - used
        const uint32_t idx = uint32_t(uint64_t(window << used) >> (32 - w));
        const int32_t e = t[1 + idx];
        used += w;
        if (int8_t(e & 0xFF) < 0) {
            t = table + (e >> 8);
            continue;
        }
        const int back = e & 0xFF;
        const int32_t value = e >> 8;
        if (back > w || value == kInvalidCode) return {value, false};
        c.skip(used - back);
        return {value, true};
    }
}

}  // namespace
}  // namespace zan::bits
