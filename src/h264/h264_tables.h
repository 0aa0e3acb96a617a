// H.264 dequantization tables shared by the reconstruction and encoder
// families (H.264 8.5.9, 8.5.12, 8.6). Every table is built at compile time
// from the standard's normalisation values v(m, k); namespace-scope
// constexpr objects have internal linkage, so each including file gets its
// own read-only copy.
#pragma once

#include <array>
#include <cstdint>

namespace zan::h264 {

// QP / 6 and QP % 6 for QP 0..89 (QP'Y with the high-bit-depth offsets).
inline constexpr int kQpTableSize = 90;
constexpr std::array<uint8_t, kQpTableSize> make_qp6() {
    std::array<uint8_t, kQpTableSize> t{};
    for (int q = 0; q < kQpTableSize; ++q) t[q] = uint8_t(q / 6);
    return t;
}
constexpr std::array<uint8_t, kQpTableSize> make_qp_rem() {
    std::array<uint8_t, kQpTableSize> t{};
    for (int q = 0; q < kQpTableSize; ++q) t[q] = uint8_t(q % 6);
    return t;
}
constexpr auto h264_qp6 = make_qp6();
constexpr auto h264_qp_rem = make_qp_rem();

// v(m, k) of H.264 8.5.9 (8-315): m = QP % 6, k = position class in the
// order (both coordinates even, mixed, both odd).
constexpr int16_t InvQuantTable_def[6][3] = {
    {10, 13, 16}, {11, 14, 18}, {13, 16, 20}, {14, 18, 23}, {16, 20, 25}, {18, 23, 29},
};

// Position class of raster position i of a 4x4 block: 0 both even,
// 1 mixed, 2 both odd (the class order of InvQuantTable_def).
constexpr int class4x4(int i) {
    const int x = i & 3, y = i >> 2;
    const bool xo = x & 1, yo = y & 1;
    return (!xo && !yo) ? 0 : (xo && yo) ? 2 : 1;
}

// LevelScale4x4 of the flat matrix (weightScale 16): 16 * v(m, position),
// raster order.
constexpr std::array<std::array<int16_t, 16>, 6> make_inv_level_scale_4x4() {
    std::array<std::array<int16_t, 16>, 6> t{};
    for (int m = 0; m < 6; ++m)
        for (int i = 0; i < 16; ++i) t[m][i] = int16_t(16 * InvQuantTable_def[m][class4x4(i)]);
    return t;
}
constexpr auto InvLevelScale_4x4_default = make_inv_level_scale_4x4();

// Column of InvQuantTable per raster position: 0 both even, 1 both odd,
// 2 mixed.
constexpr int32_t QuantIndex[16] = {0, 2, 0, 2, 2, 1, 2, 1, 0, 2, 0, 2, 2, 1, 2, 1};

// InvQuantTable[QP] = v(QP % 6, k) << (QP / 6), columns (both even, both
// odd, mixed).
constexpr std::array<std::array<int32_t, 3>, 52> make_inv_quant_table() {
    std::array<std::array<int32_t, 3>, 52> t{};
    for (int qp = 0; qp < 52; ++qp) {
        const auto& v = InvQuantTable_def[qp % 6];
        t[qp] = {int32_t(v[0]) << (qp / 6), int32_t(v[2]) << (qp / 6), int32_t(v[1]) << (qp / 6)};
    }
    return t;
}
constexpr auto InvQuantTable = make_inv_quant_table();

// InvQuantTable expanded to the 16 raster positions, 16-bit (largest entry
// 5888), for the saturating add-to-prediction path.
constexpr std::array<std::array<int16_t, 16>, 52> make_inv_quant_scale_4x4() {
    std::array<std::array<int16_t, 16>, 52> t{};
    for (int qp = 0; qp < 52; ++qp)
        for (int i = 0; i < 16; ++i) t[qp][i] = int16_t(InvQuantTable[qp][QuantIndex[i]]);
    return t;
}
constexpr auto InvQuantScale4x4 = make_inv_quant_scale_4x4();

// Intra 16x16 luma DC scale: v(QP % 6, 0) << max(0, QP / 6 - 2).
constexpr std::array<int32_t, 52> make_inv_quant_luma16x16_dc() {
    std::array<int32_t, 52> t{};
    for (int qp = 0; qp < 52; ++qp) {
        const int sh = qp / 6 - 2;
        t[qp] = int32_t(InvQuantTable_def[qp % 6][0]) << (sh > 0 ? sh : 0);
    }
    return t;
}
constexpr auto InvQuantLuma16x16DCTable = make_inv_quant_luma16x16_dc();

// 8x8 normalisation v8(m, k) of H.264 8.5.9 (8-318), k in the order of the
// standard's six position classes.
constexpr int16_t InvQuant8x8_def[6][6] = {
    {20, 18, 32, 19, 25, 24}, {22, 19, 35, 21, 28, 26}, {26, 23, 42, 24, 33, 31},
    {28, 25, 45, 26, 35, 33}, {32, 28, 51, 30, 40, 38}, {36, 32, 58, 34, 46, 43},
};

constexpr int class8x8(int i) {
    const int x = i & 7, y = i >> 3;
    if (x % 4 == 0 && y % 4 == 0) return 0;
    if (x % 2 == 1 && y % 2 == 1) return 1;
    if (x % 4 == 2 && y % 4 == 2) return 2;
    if ((x % 4 == 0 && y % 2 == 1) || (x % 2 == 1 && y % 4 == 0)) return 3;
    if ((x % 4 == 0 && y % 4 == 2) || (x % 4 == 2 && y % 4 == 0)) return 4;
    return 5;
}

// LevelScale8x8 of the flat matrix: 16 * v8(m, position), raster order.
constexpr std::array<std::array<int16_t, 64>, 6> make_inv_level_scale_8x8() {
    std::array<std::array<int16_t, 64>, 6> t{};
    for (int m = 0; m < 6; ++m)
        for (int i = 0; i < 64; ++i) t[m][i] = int16_t(16 * InvQuant8x8_def[m][class8x8(i)]);
    return t;
}
constexpr auto InvLevelScale_8x8_default = make_inv_level_scale_8x8();

// Forward quantisation factors of the SP/SI requantisation (H.264 8.6.1,
// LevelScale2): per m = QS % 6, classes (both even, mixed, both odd).
constexpr int32_t LevelScale2_def[6][3] = {
    {13107, 8066, 5243}, {11916, 7490, 4660}, {10082, 6554, 4194},
    {9362, 5825, 3647},  {8192, 5243, 3355},  {7282, 4559, 2893},
};

// A(i, j) of the SP transform-domain scaling: 16 both even, 20 mixed,
// 25 both odd.
constexpr int32_t SPScaleA_def[3] = {16, 20, 25};

// Chroma QP from qPI (H.264 Table 8-15), for qPI 0..51.
constexpr std::array<uint8_t, 52> make_qpc() {
    constexpr uint8_t hi[] = {29, 30, 31, 32, 32, 33, 34, 34, 35, 35, 36, 36, 37, 37, 37, 38, 38, 38, 39, 39, 39, 39};
    std::array<uint8_t, 52> t{};
    for (int q = 0; q < 52; ++q) t[q] = uint8_t(q < 30 ? q : hi[q - 30]);
    return t;
}
constexpr auto h264_QPc = make_qpc();

}  // namespace zan::h264
