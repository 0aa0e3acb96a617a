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

// Intra_4x4 (8.3.1.2) and Intra_8x8 with reference-sample filtering
// (8.3.2.2). A mode that needs a missing neighbour fills the block with 128
// and returns false; mode must be 0..8.
bool predict_intra4x4(uint8_t* p, int32_t step, int mode, uint32_t avail);
bool predict_intra8x8(uint8_t* p, int32_t step, int mode, uint32_t avail);

// Intra_16x16 (8.3.3) and 4:2:0 chroma (8.3.4, xs = 1 for a plane, 2 for
// one component of an interleaved Cb/Cr plane). The *_mode_ok checks tell
// whether a mode 0..3 has the neighbours it needs; predicting a mode that
// does not is not allowed.
bool intra16x16_mode_ok(int mode, uint32_t avail);
void predict_intra16x16(uint8_t* p, int32_t step, int mode, uint32_t avail);
bool chroma_mode_ok(int mode, uint32_t avail);
void predict_chroma8x8(uint8_t* p, int32_t step, int xs, int mode, uint32_t avail);

}  // namespace zan::h264
