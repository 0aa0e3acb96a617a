// Constant tables of the H.264 standard that the caller side of the decoder
// needs (the library holds its own tables for the work it does).
#pragma once
#include <cstdint>

namespace h264dec {

// 4x4 and 8x8 frame zig-zag scans: scan index -> raster position (8.5.6).
inline constexpr uint8_t kZigzag4x4[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
inline constexpr uint8_t kZigzag8x8[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Table 7-3, 7-4: default scaling lists, in zig-zag order as coded.
inline constexpr uint8_t kDefault4x4Intra[16] = {6, 13, 13, 20, 20, 20, 28, 28, 28, 28, 32, 32, 32, 37, 37, 42};
inline constexpr uint8_t kDefault4x4Inter[16] = {10, 14, 14, 20, 20, 20, 24, 24, 24, 24, 27, 27, 27, 30, 30, 34};
inline constexpr uint8_t kDefault8x8Intra[64] = {
    6,  10, 10, 13, 11, 13, 16, 16, 16, 16, 18, 18, 18, 18, 18, 23, 23, 23, 23, 23, 23, 25,
    25, 25, 25, 25, 25, 25, 27, 27, 27, 27, 27, 27, 27, 27, 29, 29, 29, 29, 29, 29, 29, 31,
    31, 31, 31, 31, 31, 33, 33, 33, 33, 33, 36, 36, 36, 36, 38, 38, 38, 40, 40, 42};
inline constexpr uint8_t kDefault8x8Inter[64] = {
    9,  13, 13, 15, 13, 15, 17, 17, 17, 17, 19, 19, 19, 19, 19, 21, 21, 21, 21, 21, 21, 22,
    22, 22, 22, 22, 22, 22, 24, 24, 24, 24, 24, 24, 24, 24, 25, 25, 25, 25, 25, 25, 25, 27,
    27, 27, 27, 27, 27, 28, 28, 28, 28, 28, 30, 30, 30, 30, 32, 32, 32, 33, 33, 35};

// 8.5.9: normAdjust4x4 v(m, class), class 0 = both coordinates even,
// 1 = both odd, 2 = mixed; normAdjust8x8 v(m, 0..5).
inline constexpr uint8_t kNormAdjust4x4[6][3] = {{10, 16, 13}, {11, 18, 14}, {13, 20, 16},
                                                 {14, 23, 18}, {16, 25, 20}, {18, 29, 23}};
inline constexpr uint8_t kNormAdjust8x8[6][6] = {{20, 18, 32, 19, 25, 24}, {22, 19, 35, 21, 28, 26},
                                                 {26, 23, 42, 24, 33, 31}, {28, 25, 45, 26, 35, 33},
                                                 {32, 28, 51, 30, 40, 38}, {36, 32, 58, 34, 46, 43}};

// Table 9-4 (ChromaArrayType 1 and 2): codeNum of coded_block_pattern ->
// value for Intra_4x4/Intra_8x8 and for Inter macroblocks.
inline constexpr uint8_t kCbpIntra[48] = {47, 31, 15, 0,  23, 27, 29, 30, 7,  11, 13, 14, 39, 43, 45, 46,
                                          16, 3,  5,  10, 12, 19, 21, 26, 28, 35, 37, 42, 44, 1,  2,  4,
                                          8,  17, 18, 20, 24, 6,  9,  22, 25, 32, 33, 34, 36, 40, 38, 41};
inline constexpr uint8_t kCbpInter[48] = {0,  16, 1,  2,  4,  8,  32, 3,  5,  10, 12, 15, 47, 7,  11, 13,
                                          14, 6,  9,  31, 35, 37, 42, 44, 33, 34, 36, 40, 39, 43, 45, 46,
                                          17, 18, 20, 24, 19, 21, 26, 28, 23, 27, 29, 30, 22, 25, 38, 41};

// Table 8-15: QPc as a function of qPI (0..51).
inline constexpr uint8_t kChromaQp[52] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                          18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 29, 30, 31, 32, 32, 33,
                                          34, 34, 35, 35, 36, 36, 37, 37, 37, 38, 38, 38, 39, 39, 39, 39};

// QPc (without QpBdOffsetC) of qPI = QPY + chroma offset, qPI clipped to
// -QpBdOffsetC..51 (8.5.8); below 30 QPc = qPI.
inline int chroma_qp(int qpi, int qpBdOffset) {
    qpi = qpi < -qpBdOffset ? -qpBdOffset : qpi > 51 ? 51 : qpi;
    return qpi < 0 ? qpi : kChromaQp[qpi];
}

// QPY after mb_qp_delta (7.4.5): ((QPY,pred + delta + 52 + 2 * QpBdOffsetY)
// % (52 + QpBdOffsetY)) - QpBdOffsetY, in -QpBdOffsetY..51.
inline int next_qp(int qp, int delta, int qpBdOffset) {
    return (qp + delta + 52 + 2 * qpBdOffset) % (52 + qpBdOffset) - qpBdOffset;
}

// Table 8-16: alpha' and beta' by indexA / indexB; Table 8-17: tC0' by
// indexA and bS 1..3.
inline constexpr uint8_t kAlpha[52] = {0,  0,  0,  0,  0,  0,  0,  0,  0,   0,   0,   0,   0,   0,   0,   0,   4,   4,
                                       5,  6,  7,  8,  9,  10, 12, 13, 15,  17,  20,  22,  25,  28,  32,  36,  40,  45,
                                       50, 56, 63, 71, 80, 90, 101, 113, 127, 144, 162, 182, 203, 226, 255, 255};
inline constexpr uint8_t kBeta[52] = {0, 0, 0, 0, 0, 0, 0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  2,  2,
                                      2, 3, 3, 3, 3, 4, 4,  4,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10,
                                      11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 17, 17, 18, 18};
inline constexpr uint8_t kTc0[52][3] = {
    {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},    {0, 0, 0},    {0, 0, 0},    {0, 0, 0},
    {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},    {0, 0, 0},    {0, 0, 0},    {0, 0, 0},
    {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 1},    {0, 0, 1},    {0, 0, 1},    {0, 0, 1},
    {0, 1, 1},   {0, 1, 1},   {1, 1, 1},   {1, 1, 1},    {1, 1, 1},    {1, 1, 1},    {1, 1, 2},
    {1, 1, 2},   {1, 1, 2},   {1, 1, 2},   {1, 2, 3},    {1, 2, 3},    {2, 2, 3},    {2, 2, 4},
    {2, 3, 4},   {2, 3, 4},   {3, 3, 5},   {3, 4, 6},    {3, 4, 6},    {4, 5, 7},    {4, 5, 8},
    {4, 6, 9},   {5, 7, 10},  {6, 8, 11},  {6, 8, 13},   {7, 10, 14},  {8, 11, 16},  {9, 12, 18},
    {10, 13, 20}, {11, 15, 23}, {13, 17, 25}};

// Position of 4x4 block blkIdx inside the macroblock, in 4x4 units (6.4.3).
inline constexpr uint8_t kBlkX[16] = {0, 1, 0, 1, 2, 3, 2, 3, 0, 1, 0, 1, 2, 3, 2, 3};
inline constexpr uint8_t kBlkY[16] = {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3};

// Prediction-list use of partitions: 1 = list 0, 2 = list 1, 3 = both.
// B macroblock types 1..21 (Table 7-14): partition count, shape and use.
struct BMbType {
    uint8_t parts;   // 1 or 2
    uint8_t shape;   // 0 = 16x16, 1 = 16x8, 2 = 8x16
    uint8_t use[2];
};
inline constexpr BMbType kBMbTypes[22] = {
    {1, 0, {0, 0}}, {1, 0, {1, 0}}, {1, 0, {2, 0}}, {1, 0, {3, 0}}, {2, 1, {1, 1}}, {2, 2, {1, 1}},
    {2, 1, {2, 2}}, {2, 2, {2, 2}}, {2, 1, {1, 2}}, {2, 2, {1, 2}}, {2, 1, {2, 1}}, {2, 2, {2, 1}},
    {2, 1, {1, 3}}, {2, 2, {1, 3}}, {2, 1, {2, 3}}, {2, 2, {2, 3}}, {2, 1, {3, 1}}, {2, 2, {3, 1}},
    {2, 1, {3, 2}}, {2, 2, {3, 2}}, {2, 1, {3, 3}}, {2, 2, {3, 3}}};

// Sub-macroblock types (Tables 7-17, 7-18): number of parts, part width and
// height in 4x4 units, list use (0 = direct).
struct SubMbType {
    uint8_t parts, w, h, use;
};
inline constexpr SubMbType kPSubMbTypes[4] = {{1, 2, 2, 1}, {2, 2, 1, 1}, {2, 1, 2, 1}, {4, 1, 1, 1}};
inline constexpr SubMbType kBSubMbTypes[13] = {{4, 1, 1, 0}, {1, 2, 2, 1}, {1, 2, 2, 2}, {1, 2, 2, 3}, {2, 2, 1, 1},
                                               {2, 1, 2, 1}, {2, 2, 1, 2}, {2, 1, 2, 2}, {2, 2, 1, 3}, {2, 1, 2, 3},
                                               {4, 1, 1, 1}, {4, 1, 1, 2}, {4, 1, 1, 3}};

}  // namespace h264dec
