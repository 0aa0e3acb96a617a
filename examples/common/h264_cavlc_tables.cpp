// The H.264 CAVLC code tables and the packed-table builder.
#include "h264_cavlc_tables.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

namespace zanvc_ex {
namespace {

// H.264 Table 9-5: coeff_token by TrailingOnes, TotalCoeff; codes for
// 0 <= nC < 2, 2 <= nC < 4, 4 <= nC < 8, 8 <= nC, nC = -1, nC = -2 (null: none).
constexpr CoeffTokenCode kCoeffTokenData[] = {
    {0, 0, {"1", "11", "1111", "000011", "01", "1"}},
    {0, 1, {"000101", "001011", "001111", "000000", "000111", "0001111"}},
    {1, 1, {"01", "10", "1110", "000001", "1", "01"}},
    {0, 2, {"00000111", "000111", "001011", "000100", "000100", "0001110"}},
    {1, 2, {"000100", "00111", "01111", "000101", "000110", "0001101"}},
    {2, 2, {"001", "011", "1101", "000110", "001", "001"}},
    {0, 3, {"000000111", "0000111", "001000", "001000", "000011", "000000111"}},
    {1, 3, {"00000110", "001010", "01100", "001001", "0000011", "0001100"}},
    {2, 3, {"0000101", "001001", "01110", "001010", "0000010", "0001011"}},
    {3, 3, {"00011", "0101", "1100", "001011", "000101", "00001"}},
    {0, 4, {"0000000111", "00000111", "0001111", "001100", "000010", "000000110"}},
    {1, 4, {"000000110", "000110", "01010", "001101", "00000011", "000000101"}},
    {2, 4, {"00000101", "000101", "01011", "001110", "00000010", "0001010"}},
    {3, 4, {"000011", "0100", "1011", "001111", "0000000", "000001"}},
    {0, 5, {"00000000111", "00000100", "0001011", "010000", nullptr, "0000000111"}},
    {1, 5, {"0000000110", "0000110", "01000", "010001", nullptr, "0000000110"}},
    {2, 5, {"000000101", "0000101", "01001", "010010", nullptr, "000000100"}},
    {3, 5, {"0000100", "00110", "1010", "010011", nullptr, "0001001"}},
    {0, 6, {"0000000001111", "000000111", "0001001", "010100", nullptr, "00000000111"}},
    {1, 6, {"00000000110", "00000110", "001110", "010101", nullptr, "00000000110"}},
    {2, 6, {"0000000101", "00000101", "001101", "010110", nullptr, "0000000101"}},
    {3, 6, {"00000100", "001000", "1001", "010111", nullptr, "0001000"}},
    {0, 7, {"0000000001011", "00000001111", "0001000", "011000", nullptr, "000000000111"}},
    {1, 7, {"0000000001110", "000000110", "001010", "011001", nullptr, "000000000110"}},
    {2, 7, {"00000000101", "000000101", "001001", "011010", nullptr, "00000000101"}},
    {3, 7, {"000000100", "000100", "1000", "011011", nullptr, "0000000100"}},
    {0, 8, {"0000000001000", "00000001011", "00001111", "011100", nullptr, "0000000000111"}},
    {1, 8, {"0000000001010", "00000001110", "0001110", "011101", nullptr, "000000000101"}},
    {2, 8, {"0000000001101", "00000001101", "0001101", "011110", nullptr, "000000000100"}},
    {3, 8, {"0000000100", "0000100", "01101", "011111", nullptr, "00000000100"}},
    {0, 9, {"00000000001111", "000000001111", "00001011", "100000", nullptr, nullptr}},
    {1, 9, {"00000000001110", "00000001010", "00001110", "100001", nullptr, nullptr}},
    {2, 9, {"0000000001001", "00000001001", "0001010", "100010", nullptr, nullptr}},
    {3, 9, {"00000000100", "000000100", "001100", "100011", nullptr, nullptr}},
    {0, 10, {"00000000001011", "000000001011", "000001111", "100100", nullptr, nullptr}},
    {1, 10, {"00000000001010", "000000001110", "00001010", "100101", nullptr, nullptr}},
    {2, 10, {"00000000001101", "000000001101", "00001101", "100110", nullptr, nullptr}},
    {3, 10, {"0000000001100", "00000001100", "0001100", "100111", nullptr, nullptr}},
    {0, 11, {"000000000001111", "000000001000", "000001011", "101000", nullptr, nullptr}},
    {1, 11, {"000000000001110", "000000001010", "000001110", "101001", nullptr, nullptr}},
    {2, 11, {"00000000001001", "000000001001", "00001001", "101010", nullptr, nullptr}},
    {3, 11, {"00000000001100", "00000001000", "00001100", "101011", nullptr, nullptr}},
    {0, 12, {"000000000001011", "0000000001111", "000001000", "101100", nullptr, nullptr}},
    {1, 12, {"000000000001010", "0000000001110", "000001010", "101101", nullptr, nullptr}},
    {2, 12, {"000000000001101", "0000000001101", "000001101", "101110", nullptr, nullptr}},
    {3, 12, {"00000000001000", "000000001100", "00001000", "101111", nullptr, nullptr}},
    {0, 13, {"0000000000001111", "0000000001011", "0000001101", "110000", nullptr, nullptr}},
    {1, 13, {"000000000000001", "0000000001010", "000000111", "110001", nullptr, nullptr}},
    {2, 13, {"000000000001001", "0000000001001", "000001001", "110010", nullptr, nullptr}},
    {3, 13, {"000000000001100", "0000000001100", "000001100", "110011", nullptr, nullptr}},
    {0, 14, {"0000000000001011", "0000000000111", "0000001001", "110100", nullptr, nullptr}},
    {1, 14, {"0000000000001110", "00000000001011", "0000001100", "110101", nullptr, nullptr}},
    {2, 14, {"0000000000001101", "0000000000110", "0000001011", "110110", nullptr, nullptr}},
    {3, 14, {"000000000001000", "0000000001000", "0000001010", "110111", nullptr, nullptr}},
    {0, 15, {"0000000000000111", "00000000001001", "0000000101", "111000", nullptr, nullptr}},
    {1, 15, {"0000000000001010", "00000000001000", "0000001000", "111001", nullptr, nullptr}},
    {2, 15, {"0000000000001001", "00000000001010", "0000000111", "111010", nullptr, nullptr}},
    {3, 15, {"0000000000001100", "0000000000001", "0000000110", "111011", nullptr, nullptr}},
    {0, 16, {"0000000000000100", "00000000000111", "0000000001", "111100", nullptr, nullptr}},
    {1, 16, {"0000000000000110", "00000000000110", "0000000100", "111101", nullptr, nullptr}},
    {2, 16, {"0000000000000101", "00000000000101", "0000000011", "111110", nullptr, nullptr}},
    {3, 16, {"0000000000001000", "00000000000100", "0000000010", "111111", nullptr, nullptr}},
};

// H.264 Tables 9-7, 9-8 (4x4), 9-9 a) (chroma DC 2x2) and 9-9 b) (chroma DC
// 2x4): total_zeros by tzVlcIndex (= TotalCoeff).
constexpr TotalZerosCode kTotalZerosData[] = {
    {TotalZerosBlock::Block4x4, 1, 0, "1"},
    {TotalZerosBlock::Block4x4, 1, 1, "011"},
    {TotalZerosBlock::Block4x4, 1, 2, "010"},
    {TotalZerosBlock::Block4x4, 1, 3, "0011"},
    {TotalZerosBlock::Block4x4, 1, 4, "0010"},
    {TotalZerosBlock::Block4x4, 1, 5, "00011"},
    {TotalZerosBlock::Block4x4, 1, 6, "00010"},
    {TotalZerosBlock::Block4x4, 1, 7, "000011"},
    {TotalZerosBlock::Block4x4, 1, 8, "000010"},
    {TotalZerosBlock::Block4x4, 1, 9, "0000011"},
    {TotalZerosBlock::Block4x4, 1, 10, "0000010"},
    {TotalZerosBlock::Block4x4, 1, 11, "00000011"},
    {TotalZerosBlock::Block4x4, 1, 12, "00000010"},
    {TotalZerosBlock::Block4x4, 1, 13, "000000011"},
    {TotalZerosBlock::Block4x4, 1, 14, "000000010"},
    {TotalZerosBlock::Block4x4, 1, 15, "000000001"},
    {TotalZerosBlock::Block4x4, 2, 0, "111"},
    {TotalZerosBlock::Block4x4, 2, 1, "110"},
    {TotalZerosBlock::Block4x4, 2, 2, "101"},
    {TotalZerosBlock::Block4x4, 2, 3, "100"},
    {TotalZerosBlock::Block4x4, 2, 4, "011"},
    {TotalZerosBlock::Block4x4, 2, 5, "0101"},
    {TotalZerosBlock::Block4x4, 2, 6, "0100"},
    {TotalZerosBlock::Block4x4, 2, 7, "0011"},
    {TotalZerosBlock::Block4x4, 2, 8, "0010"},
    {TotalZerosBlock::Block4x4, 2, 9, "00011"},
    {TotalZerosBlock::Block4x4, 2, 10, "00010"},
    {TotalZerosBlock::Block4x4, 2, 11, "000011"},
    {TotalZerosBlock::Block4x4, 2, 12, "000010"},
    {TotalZerosBlock::Block4x4, 2, 13, "000001"},
    {TotalZerosBlock::Block4x4, 2, 14, "000000"},
    {TotalZerosBlock::Block4x4, 3, 0, "0101"},
    {TotalZerosBlock::Block4x4, 3, 1, "111"},
    {TotalZerosBlock::Block4x4, 3, 2, "110"},
    {TotalZerosBlock::Block4x4, 3, 3, "101"},
    {TotalZerosBlock::Block4x4, 3, 4, "0100"},
    {TotalZerosBlock::Block4x4, 3, 5, "0011"},
    {TotalZerosBlock::Block4x4, 3, 6, "100"},
    {TotalZerosBlock::Block4x4, 3, 7, "011"},
    {TotalZerosBlock::Block4x4, 3, 8, "0010"},
    {TotalZerosBlock::Block4x4, 3, 9, "00011"},
    {TotalZerosBlock::Block4x4, 3, 10, "00010"},
    {TotalZerosBlock::Block4x4, 3, 11, "000001"},
    {TotalZerosBlock::Block4x4, 3, 12, "00001"},
    {TotalZerosBlock::Block4x4, 3, 13, "000000"},
    {TotalZerosBlock::Block4x4, 4, 0, "00011"},
    {TotalZerosBlock::Block4x4, 4, 1, "111"},
    {TotalZerosBlock::Block4x4, 4, 2, "0101"},
    {TotalZerosBlock::Block4x4, 4, 3, "0100"},
    {TotalZerosBlock::Block4x4, 4, 4, "110"},
    {TotalZerosBlock::Block4x4, 4, 5, "101"},
    {TotalZerosBlock::Block4x4, 4, 6, "100"},
    {TotalZerosBlock::Block4x4, 4, 7, "0011"},
    {TotalZerosBlock::Block4x4, 4, 8, "011"},
    {TotalZerosBlock::Block4x4, 4, 9, "0010"},
    {TotalZerosBlock::Block4x4, 4, 10, "00010"},
    {TotalZerosBlock::Block4x4, 4, 11, "00001"},
    {TotalZerosBlock::Block4x4, 4, 12, "00000"},
    {TotalZerosBlock::Block4x4, 5, 0, "0101"},
    {TotalZerosBlock::Block4x4, 5, 1, "0100"},
    {TotalZerosBlock::Block4x4, 5, 2, "0011"},
    {TotalZerosBlock::Block4x4, 5, 3, "111"},
    {TotalZerosBlock::Block4x4, 5, 4, "110"},
    {TotalZerosBlock::Block4x4, 5, 5, "101"},
    {TotalZerosBlock::Block4x4, 5, 6, "100"},
    {TotalZerosBlock::Block4x4, 5, 7, "011"},
    {TotalZerosBlock::Block4x4, 5, 8, "0010"},
    {TotalZerosBlock::Block4x4, 5, 9, "00001"},
    {TotalZerosBlock::Block4x4, 5, 10, "0001"},
    {TotalZerosBlock::Block4x4, 5, 11, "00000"},
    {TotalZerosBlock::Block4x4, 6, 0, "000001"},
    {TotalZerosBlock::Block4x4, 6, 1, "00001"},
    {TotalZerosBlock::Block4x4, 6, 2, "111"},
    {TotalZerosBlock::Block4x4, 6, 3, "110"},
    {TotalZerosBlock::Block4x4, 6, 4, "101"},
    {TotalZerosBlock::Block4x4, 6, 5, "100"},
    {TotalZerosBlock::Block4x4, 6, 6, "011"},
    {TotalZerosBlock::Block4x4, 6, 7, "010"},
    {TotalZerosBlock::Block4x4, 6, 8, "0001"},
    {TotalZerosBlock::Block4x4, 6, 9, "001"},
    {TotalZerosBlock::Block4x4, 6, 10, "000000"},
    {TotalZerosBlock::Block4x4, 7, 0, "000001"},
    {TotalZerosBlock::Block4x4, 7, 1, "00001"},
    {TotalZerosBlock::Block4x4, 7, 2, "101"},
    {TotalZerosBlock::Block4x4, 7, 3, "100"},
    {TotalZerosBlock::Block4x4, 7, 4, "011"},
    {TotalZerosBlock::Block4x4, 7, 5, "11"},
    {TotalZerosBlock::Block4x4, 7, 6, "010"},
    {TotalZerosBlock::Block4x4, 7, 7, "0001"},
    {TotalZerosBlock::Block4x4, 7, 8, "001"},
    {TotalZerosBlock::Block4x4, 7, 9, "000000"},
    {TotalZerosBlock::Block4x4, 8, 0, "000001"},
    {TotalZerosBlock::Block4x4, 8, 1, "0001"},
    {TotalZerosBlock::Block4x4, 8, 2, "00001"},
    {TotalZerosBlock::Block4x4, 8, 3, "011"},
    {TotalZerosBlock::Block4x4, 8, 4, "11"},
    {TotalZerosBlock::Block4x4, 8, 5, "10"},
    {TotalZerosBlock::Block4x4, 8, 6, "010"},
    {TotalZerosBlock::Block4x4, 8, 7, "001"},
    {TotalZerosBlock::Block4x4, 8, 8, "000000"},
    {TotalZerosBlock::Block4x4, 9, 0, "000001"},
    {TotalZerosBlock::Block4x4, 9, 1, "000000"},
    {TotalZerosBlock::Block4x4, 9, 2, "0001"},
    {TotalZerosBlock::Block4x4, 9, 3, "11"},
    {TotalZerosBlock::Block4x4, 9, 4, "10"},
    {TotalZerosBlock::Block4x4, 9, 5, "001"},
    {TotalZerosBlock::Block4x4, 9, 6, "01"},
    {TotalZerosBlock::Block4x4, 9, 7, "00001"},
    {TotalZerosBlock::Block4x4, 10, 0, "00001"},
    {TotalZerosBlock::Block4x4, 10, 1, "00000"},
    {TotalZerosBlock::Block4x4, 10, 2, "001"},
    {TotalZerosBlock::Block4x4, 10, 3, "11"},
    {TotalZerosBlock::Block4x4, 10, 4, "10"},
    {TotalZerosBlock::Block4x4, 10, 5, "01"},
    {TotalZerosBlock::Block4x4, 10, 6, "0001"},
    {TotalZerosBlock::Block4x4, 11, 0, "0000"},
    {TotalZerosBlock::Block4x4, 11, 1, "0001"},
    {TotalZerosBlock::Block4x4, 11, 2, "001"},
    {TotalZerosBlock::Block4x4, 11, 3, "010"},
    {TotalZerosBlock::Block4x4, 11, 4, "1"},
    {TotalZerosBlock::Block4x4, 11, 5, "011"},
    {TotalZerosBlock::Block4x4, 12, 0, "0000"},
    {TotalZerosBlock::Block4x4, 12, 1, "0001"},
    {TotalZerosBlock::Block4x4, 12, 2, "01"},
    {TotalZerosBlock::Block4x4, 12, 3, "1"},
    {TotalZerosBlock::Block4x4, 12, 4, "001"},
    {TotalZerosBlock::Block4x4, 13, 0, "000"},
    {TotalZerosBlock::Block4x4, 13, 1, "001"},
    {TotalZerosBlock::Block4x4, 13, 2, "1"},
    {TotalZerosBlock::Block4x4, 13, 3, "01"},
    {TotalZerosBlock::Block4x4, 14, 0, "00"},
    {TotalZerosBlock::Block4x4, 14, 1, "01"},
    {TotalZerosBlock::Block4x4, 14, 2, "1"},
    {TotalZerosBlock::Block4x4, 15, 0, "0"},
    {TotalZerosBlock::Block4x4, 15, 1, "1"},
    {TotalZerosBlock::ChromaDc2x2, 1, 0, "1"},
    {TotalZerosBlock::ChromaDc2x2, 1, 1, "01"},
    {TotalZerosBlock::ChromaDc2x2, 1, 2, "001"},
    {TotalZerosBlock::ChromaDc2x2, 1, 3, "000"},
    {TotalZerosBlock::ChromaDc2x2, 2, 0, "1"},
    {TotalZerosBlock::ChromaDc2x2, 2, 1, "01"},
    {TotalZerosBlock::ChromaDc2x2, 2, 2, "00"},
    {TotalZerosBlock::ChromaDc2x2, 3, 0, "1"},
    {TotalZerosBlock::ChromaDc2x2, 3, 1, "0"},
    {TotalZerosBlock::ChromaDc2x4, 1, 0, "1"},
    {TotalZerosBlock::ChromaDc2x4, 1, 1, "010"},
    {TotalZerosBlock::ChromaDc2x4, 1, 2, "011"},
    {TotalZerosBlock::ChromaDc2x4, 1, 3, "0010"},
    {TotalZerosBlock::ChromaDc2x4, 1, 4, "0011"},
    {TotalZerosBlock::ChromaDc2x4, 1, 5, "0001"},
    {TotalZerosBlock::ChromaDc2x4, 1, 6, "00001"},
    {TotalZerosBlock::ChromaDc2x4, 1, 7, "00000"},
    {TotalZerosBlock::ChromaDc2x4, 2, 0, "000"},
    {TotalZerosBlock::ChromaDc2x4, 2, 1, "01"},
    {TotalZerosBlock::ChromaDc2x4, 2, 2, "001"},
    {TotalZerosBlock::ChromaDc2x4, 2, 3, "100"},
    {TotalZerosBlock::ChromaDc2x4, 2, 4, "101"},
    {TotalZerosBlock::ChromaDc2x4, 2, 5, "110"},
    {TotalZerosBlock::ChromaDc2x4, 2, 6, "111"},
    {TotalZerosBlock::ChromaDc2x4, 3, 0, "000"},
    {TotalZerosBlock::ChromaDc2x4, 3, 1, "001"},
    {TotalZerosBlock::ChromaDc2x4, 3, 2, "01"},
    {TotalZerosBlock::ChromaDc2x4, 3, 3, "10"},
    {TotalZerosBlock::ChromaDc2x4, 3, 4, "110"},
    {TotalZerosBlock::ChromaDc2x4, 3, 5, "111"},
    {TotalZerosBlock::ChromaDc2x4, 4, 0, "110"},
    {TotalZerosBlock::ChromaDc2x4, 4, 1, "00"},
    {TotalZerosBlock::ChromaDc2x4, 4, 2, "01"},
    {TotalZerosBlock::ChromaDc2x4, 4, 3, "10"},
    {TotalZerosBlock::ChromaDc2x4, 4, 4, "111"},
    {TotalZerosBlock::ChromaDc2x4, 5, 0, "00"},
    {TotalZerosBlock::ChromaDc2x4, 5, 1, "01"},
    {TotalZerosBlock::ChromaDc2x4, 5, 2, "10"},
    {TotalZerosBlock::ChromaDc2x4, 5, 3, "11"},
    {TotalZerosBlock::ChromaDc2x4, 6, 0, "00"},
    {TotalZerosBlock::ChromaDc2x4, 6, 1, "01"},
    {TotalZerosBlock::ChromaDc2x4, 6, 2, "1"},
    {TotalZerosBlock::ChromaDc2x4, 7, 0, "0"},
    {TotalZerosBlock::ChromaDc2x4, 7, 1, "1"},
};

// H.264 Table 9-10: run_before by zerosLeft (7 stands for zerosLeft > 6).
constexpr RunBeforeCode kRunBeforeData[] = {
    {1, 0, "1"},
    {1, 1, "0"},
    {2, 0, "1"},
    {2, 1, "01"},
    {2, 2, "00"},
    {3, 0, "11"},
    {3, 1, "10"},
    {3, 2, "01"},
    {3, 3, "00"},
    {4, 0, "11"},
    {4, 1, "10"},
    {4, 2, "01"},
    {4, 3, "001"},
    {4, 4, "000"},
    {5, 0, "11"},
    {5, 1, "10"},
    {5, 2, "011"},
    {5, 3, "010"},
    {5, 4, "001"},
    {5, 5, "000"},
    {6, 0, "11"},
    {6, 1, "000"},
    {6, 2, "001"},
    {6, 3, "011"},
    {6, 4, "010"},
    {6, 5, "101"},
    {6, 6, "100"},
    {7, 0, "111"},
    {7, 1, "110"},
    {7, 2, "101"},
    {7, 3, "100"},
    {7, 4, "011"},
    {7, 5, "010"},
    {7, 6, "001"},
    {7, 7, "0001"},
    {7, 8, "00001"},
    {7, 9, "000001"},
    {7, 10, "0000001"},
    {7, 11, "00000001"},
    {7, 12, "000000001"},
    {7, 13, "0000000001"},
    {7, 14, "00000000001"},
};

struct Code {
    std::string bits;
    int32_t value;
};

// Fills the (sub-)table whose entry 0 stands at `base` for codes whose
// first `width` bits index it; longer codes go to sub-tables appended to
// the array.
void fill_table(std::vector<Zan32s>& out, size_t base, int width, const std::vector<Code>& codes, int maxWidth) {
    std::map<uint32_t, std::vector<Code>> longer;  // by first-level index
    std::vector<bool> used(size_t(1) << width, false);
    for (const Code& c : codes) {
        const int len = int(c.bits.size());
        if (len <= width) {
            const int back = width - len;
            const uint32_t first = uint32_t(std::stoul(c.bits, nullptr, 2)) << back;
            for (uint32_t i = 0; i < (1u << back); ++i) {
                if (used[first + i] || longer.count(first + i)) throw std::invalid_argument("codes not prefix-free");
                used[first + i] = true;
                out[base + 1 + first + i] = Zan32s(uint32_t(c.value) << 8 | uint32_t(back));
            }
        } else {
            const uint32_t idx = uint32_t(std::stoul(c.bits.substr(0, size_t(width)), nullptr, 2));
            if (used[idx]) throw std::invalid_argument("codes not prefix-free");
            longer[idx].push_back({c.bits.substr(size_t(width)), c.value});
        }
    }
    for (auto& [idx, group] : longer) {
        size_t longest = 0;
        for (const Code& c : group) longest = std::max(longest, c.bits.size());
        const int subWidth = std::min(int(longest), maxWidth);
        const size_t sub = out.size();
        out.push_back(subWidth);
        out.resize(sub + 1 + (size_t(1) << subWidth), kPackedInvalidEntry);
        out[base + 1 + idx] = Zan32s(uint32_t(sub) << 8 | 0x80u);
        fill_table(out, sub, subWidth, group, maxWidth);
    }
}

}  // namespace

std::vector<Zan32s> BuildPackedVlc(std::span<const VlcCode> codes, int firstBits) {
    if (codes.empty() || firstBits < 1) throw std::invalid_argument("empty code list");
    std::vector<Code> list;
    size_t longest = 0;
    for (const VlcCode& c : codes) {
        const std::string bits = c.bits ? c.bits : "";
        if (bits.empty() || bits.size() > 32 || bits.find_first_not_of("01") != std::string::npos)
            throw std::invalid_argument("bad code text");
        longest = std::max(longest, bits.size());
        list.push_back({bits, c.value});
    }
    const int width = std::min(int(longest), std::min(firstBits, 32));
    std::vector<Zan32s> out(1 + (size_t(1) << width), kPackedInvalidEntry);
    out[0] = width;
    fill_table(out, 0, width, list, width);
    return out;
}

std::span<const CoeffTokenCode> CoeffTokenCodes() { return kCoeffTokenData; }
std::span<const TotalZerosCode> TotalZerosCodes() { return kTotalZerosData; }
std::span<const RunBeforeCode> RunBeforeCodes() { return kRunBeforeData; }

// First-level widths: most coded blocks use coeff_token codes of up to 8
// bits, total_zeros codes of up to 6 and run_before codes of up to 3.
namespace {
constexpr int kCoeffTokenBits = 8, kTotalZerosBits = 6, kRunBeforeBits = 3;

std::vector<Zan32s> coeff_token_table(CoeffTokenColumn col) {
    std::vector<VlcCode> v;
    for (const CoeffTokenCode& c : kCoeffTokenData)
        if (c.code[col]) v.push_back({c.code[col], int32_t(c.totalCoeff) << 8 | c.trailingOnes});
    return BuildPackedVlc(v, kCoeffTokenBits);
}

std::vector<Zan32s> total_zeros_table(TotalZerosBlock block, int tzVlcIndex) {
    std::vector<VlcCode> v;
    for (const TotalZerosCode& c : kTotalZerosData)
        if (c.block == block && c.tzVlcIndex == tzVlcIndex) v.push_back({c.code, c.totalZeros});
    return BuildPackedVlc(v, kTotalZerosBits);
}
}  // namespace

H264CavlcTables::H264CavlcTables() {
    for (int i = 0; i < 3; ++i) {
        coeffTokenData_[i] = coeff_token_table(CoeffTokenColumn(i));
        coeffToken_[i] = coeffTokenData_[i].data();
    }
    coeffTokenDc_ = coeff_token_table(kNCMinus1);
    coeffTokenDc422_ = coeff_token_table(kNCMinus2);
    for (int tc = 1; tc < 16; ++tc) {
        totalZerosData_[tc] = total_zeros_table(TotalZerosBlock::Block4x4, tc);
        totalZeros_[tc] = totalZerosData_[tc].data();
    }
    for (int tc = 1; tc < 4; ++tc) {
        totalZerosDcData_[tc] = total_zeros_table(TotalZerosBlock::ChromaDc2x2, tc);
        totalZerosDc_[tc] = totalZerosDcData_[tc].data();
    }
    for (int tc = 1; tc < 8; ++tc) {
        totalZerosDc422Data_[tc] = total_zeros_table(TotalZerosBlock::ChromaDc2x4, tc);
        totalZerosDc422_[tc] = totalZerosDc422Data_[tc].data();
    }
    for (int zl = 1; zl <= 7; ++zl) {
        std::vector<VlcCode> v;
        for (const RunBeforeCode& c : kRunBeforeData)
            if (c.zerosLeft == zl) v.push_back({c.code, c.runBefore});
        runBeforeData_[zl] = BuildPackedVlc(v, kRunBeforeBits);
    }
    for (int zl = 1; zl < 16; ++zl) runBefore_[zl] = runBeforeData_[std::min(zl, 7)].data();
}

const H264CavlcTables& H264CavlcTables::Get() {
    static const H264CavlcTables tables;
    return tables;
}

}  // namespace zanvc_ex
