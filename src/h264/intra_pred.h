// H.264 intra prediction (H.264 8.3) of 8-bit samples in place: the block
// at p is predicted from the samples around it in the same picture. Compiled
// once for baseline x86-64 (intra.cpp) and called by the portable and AVX2
// reconstruction alike.
#pragma once

#include <cstdint>

namespace zan::h264 {

// Availability bits of one predictor (set bit = available).
enum : uint32_t {
    kAvailTop = 1,
    kAvailLeft = 2,           // the left column (for chroma: its upper half, rows 0..3)
    kAvailTopLeft = 32,
    kAvailTopRight = 64,
    kAvailLeftLower = 0x100,  // chroma only: the lower half of the left column (rows 4..7)
};

// Samples are Pel = uint8_t or uint16_t, of bitDepth bits; steps count
// bytes. Instantiated in intra.cpp for both sample types.

// Intra_4x4 (8.3.1.2) and Intra_8x8 with reference-sample filtering
// (8.3.2.2). A mode that needs a missing neighbour fills the block with
// 1 << (bitDepth - 1) and returns false; mode must be 0..8.
template <class Pel>
bool predict_intra4x4(Pel* p, int32_t step, int mode, uint32_t avail, int bitDepth);
template <class Pel>
bool predict_intra8x8(Pel* p, int32_t step, int mode, uint32_t avail, int bitDepth);

// Intra_16x16 (8.3.3) and chroma (8.3.4) of 8 x height samples (height 8
// for 4:2:0, 16 for 4:2:2; xs = 1 for a plane, 2 for one component of an
// interleaved Cb/Cr plane). The *_mode_ok checks tell whether a mode 0..3
// has the neighbours it needs; predicting a mode that does not is not
// allowed.
bool intra16x16_mode_ok(int mode, uint32_t avail);
template <class Pel>
void predict_intra16x16(Pel* p, int32_t step, int mode, uint32_t avail, int bitDepth);
bool chroma_mode_ok(int mode, uint32_t avail);
template <class Pel>
void predict_chroma(Pel* p, int32_t step, int xs, int height, int mode, uint32_t avail, int bitDepth);

}  // namespace zan::h264
