// The H.264 CAVLC code tables (coeff_token, total_zeros, run_before) in the
// packed lookup form that the library's CAVLC decoders take (see
// "Packed VLC table" in zanvc.h), and the small builder that makes them
// from code lists. Shared by the example decoder and the tests; uses only
// the public header and the standard library.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "zanvc.h"

namespace zanvc_ex {

// ---------------------------------------------------------------------------
// Packed-table builder
// ---------------------------------------------------------------------------

// One code of a variable-length code: its bits as text, first bit first
// ("0101"), and the value its leaf carries in bits 8..31.
struct VlcCode {
    const char* bits;
    int32_t value;
};

// The marker that fills unassigned entries (value 0xF0F1, one bit given
// back).
inline constexpr Zan32s kPackedInvalidEntry = 0x00F0F101;

// Builds the packed lookup form of a prefix-free code list. The first level
// indexes min(firstBits, longest code) bits; each group of longer codes
// sharing a first-level index gets a sub-table as wide as its longest
// remainder, at most firstBits (further levels below it when needed).
// Throws std::invalid_argument for an empty list, a code that is not 0/1
// text or a list that is not prefix-free.
std::vector<Zan32s> BuildPackedVlc(std::span<const VlcCode> codes, int firstBits);

// ---------------------------------------------------------------------------
// The standard's code lists (H.264 Tables 9-5, 9-7 to 9-10)
// ---------------------------------------------------------------------------

// Columns of Table 9-5.
enum CoeffTokenColumn { kNC0to1 = 0, kNC2to3 = 1, kNC4to7 = 2, kNC8Up = 3, kNCMinus1 = 4, kNCMinus2 = 5 };

struct CoeffTokenCode {
    uint8_t trailingOnes;
    uint8_t totalCoeff;
    const char* code[6];  // by CoeffTokenColumn; null where the block holds fewer coefficients
};

enum class TotalZerosBlock : uint8_t { Block4x4, ChromaDc2x2, ChromaDc2x4 };

struct TotalZerosCode {
    TotalZerosBlock block;
    uint8_t tzVlcIndex;  // TotalCoeff
    uint8_t totalZeros;
    const char* code;
};

struct RunBeforeCode {
    uint8_t zerosLeft;  // 1..6; 7 stands for every zerosLeft above 6
    uint8_t runBefore;
    const char* code;
};

std::span<const CoeffTokenCode> CoeffTokenCodes();
std::span<const TotalZerosCode> TotalZerosCodes();
std::span<const RunBeforeCode> RunBeforeCodes();

// ---------------------------------------------------------------------------
// The packed tables in the argument form of the decoders
// ---------------------------------------------------------------------------

class H264CavlcTables {
public:
    H264CavlcTables();
    H264CavlcTables(const H264CavlcTables&) = delete;
    H264CavlcTables& operator=(const H264CavlcTables&) = delete;

    // One shared instance, built on first use.
    static const H264CavlcTables& Get();

    // pCoeffTokenTables: [0] 0 <= nC < 2, [1] 2 <= nC < 4, [2] 4 <= nC < 8.
    const Zan32s* const* CoeffToken() const { return coeffToken_; }
    const Zan32s* CoeffTokenChromaDc() const { return coeffTokenDc_.data(); }     // nC = -1
    const Zan32s* CoeffTokenChromaDc422() const { return coeffTokenDc422_.data(); }  // nC = -2
    // Indexed by TotalCoeff: 1..15, 1..3, 1..7 (entry 0 null).
    const Zan32s* const* TotalZeros() const { return totalZeros_; }
    const Zan32s* const* TotalZerosChromaDc() const { return totalZerosDc_; }
    const Zan32s* const* TotalZerosChromaDc422() const { return totalZerosDc422_; }
    // Indexed by zerosLeft 1..15 (7..15 share the zerosLeft > 6 table).
    const Zan32s* const* RunBefore() const { return runBefore_; }

private:
    std::vector<Zan32s> coeffTokenData_[3], coeffTokenDc_, coeffTokenDc422_;
    std::vector<Zan32s> totalZerosData_[16], totalZerosDcData_[4], totalZerosDc422Data_[8], runBeforeData_[8];
    const Zan32s* coeffToken_[3] = {};
    const Zan32s* totalZeros_[16] = {};
    const Zan32s* totalZerosDc_[4] = {};
    const Zan32s* totalZerosDc422_[8] = {};
    const Zan32s* runBefore_[16] = {};
};

}  // namespace zanvc_ex
