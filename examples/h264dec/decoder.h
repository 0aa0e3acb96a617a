// The example H.264 decoder: what a caller of the library holds. Headers,
// reference pictures, the macroblock layer of CAVLC slices and the loop
// filter decisions live here; every per-block computation (residual
// decoding, dequantization and transforms, intra prediction, interpolation,
// weighting, deblocking) is a call into the library.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bitstream.h"
#include "cavlc_tables.h"
#include "nal.h"
#include "params.h"
#include "poc.h"
#include "slice.h"

// Largest picture accepted, in macroblocks (level 6.2's MaxFS by default).
#ifndef H264DEC_MAX_MBS
#define H264DEC_MAX_MBS 139264
#endif

namespace h264dec {

// Kinds of macroblock while one is decoded.
enum MbKind { kMbInter = 0, kMbBDirect16, kMbI4x4, kMbI8x8, kMbI16x16, kMbIPCM };

// What the picture keeps of each macroblock: the neighbour data of the
// macroblock layer, the motion field for direct prediction and the inputs of
// the loop filter decisions.
struct MbInfo {
    int16_t slice = -1;  // slice number in the picture; -1 = not (yet) decoded
    bool intra = false;
    bool pcm = false;
    bool skip = false;
    bool t8x8 = false;   // transform_size_8x8_flag
    int8_t qp = 0;       // QPY (0 for I_PCM in the loop filter)
    int8_t qpc[2] = {};  // QPc of Cb and Cr, for the loop filter
    int8_t db_idc = 0, db_a = 0, db_b = 0;  // deblocking control of the slice
    uint8_t tcY[16] = {};                   // TotalCoeff per 4x4 luma block, raster 4x4 order
    uint8_t tcC[2][8] = {};                 // TotalCoeff per chroma AC block (raster, 2 per row)
    int8_t ipred[16] = {};                  // Intra4x4/8x8PredMode by raster 4x4; -1 = not I_NxN
    uint16_t nz = 0;                        // 4x4 blocks (raster) with non-zero coefficients
    int8_t ref[2][4] = {{-1, -1, -1, -1}, {-1, -1, -1, -1}};  // refIdx per 8x8 (raster)
    int32_t refId[2][4] = {{-1, -1, -1, -1}, {-1, -1, -1, -1}};  // uid of the referenced picture
    int16_t mv[2][16][2] = {};              // by raster 4x4 block
};

struct Picture {
    int uid = 0;
    int width = 0, height = 0;  // coded size in luma samples
    int strideY = 0, strideC = 0;  // in samples
    int heightC = 0;               // chroma rows: height / 2 (4:2:0) or height (4:2:2)
    int bytes = 1;                 // bytes per sample: 1 (8-bit) or 2 (9 to 14 bits)
    std::vector<uint8_t> buf;
    uint8_t* Y = nullptr;
    uint8_t* Cb = nullptr;
    uint8_t* Cr = nullptr;
    std::vector<MbInfo> mbs;
    int poc = 0;
    int frame_num = 0;
    int frame_num_wrap = 0;
    int long_term_frame_idx = 0;
    bool ref_short = false, ref_long = false;
    bool needed_for_output = false;
    bool mmco5 = false;
    bool is_ref() const { return ref_short || ref_long; }
};

// Decoded frame handed to the output in display order (cropped view).
struct OutputFrame {
    const uint8_t* plane[3];
    int stride[3];      // in bytes
    int bytes_per_sample;  // 1, or 2 for 16-bit little-endian samples
    int chroma_height;     // rows of the chroma planes
    int width, height;  // luma, after cropping
    int sar_num, sar_den;
};

class Decoder {
public:
    using OutputFn = std::function<void(const OutputFrame&)>;
    explicit Decoder(OutputFn out);
    ~Decoder();

    // Decodes one Annex B byte stream completely, then flushes the output.
    // Throws DecodeError on a corrupt or unsupported stream.
    void decode_stream(const uint8_t* data, size_t size);
    void decode_nal(const uint8_t* nal, size_t size);
    void flush();

private:
    // headers and pictures (decoder.cpp, dpb.cpp)
    void activate(const SliceHeader& sh);
    void start_picture(const SliceHeader& sh);
    void finish_picture();
    std::vector<Picture*> others() const;  // the buffer without the current picture
    void build_ref_lists();
    void compute_implicit_weights();
    void output_ready(bool flushAll);
    void emit(Picture* p);
    Picture* alloc_picture();

    void compute_levels();
    int intra_edge_type(int mbAddr) const;

    // slice data (macroblock.cpp)
    void begin_mb(int mbAddr);
    void finish_mb_qp(MbInfo& mb, int qpForFilter);
    void mb_pred_inter(BitReader& br, int mbAddr, int mbType, int* kind);
    int cavlc_block(BitReader& br, int nC, int maxNum, int16_t** pp);
    void set_ref(MbInfo& mb, int list, int b8, int ref);
    void predict_direct(int mbAddr, int blk8);
    void decode_slice(BitReader& br);
    void decode_skip(int mbAddr);
    void decode_macroblock(BitReader& br, int mbAddr);
    void decode_intra_pcm(BitReader& br, int mbAddr);
    void decode_residual(BitReader& br, int mbAddr, int cbp, int i16);
    void reconstruct(int mbAddr, int i16mode, int chromaMode, const int32_t* predModes);
    int luma_nc(int mbAddr, int x4, int y4) const;
    int chroma_nc(int mbAddr, int c, int x, int y) const;
    // motion
    void mv_pred(int mbAddr, int list, int ref, int x4, int y4, int w4, int h4, int16_t mvp[2]) const;
    void neighbour_motion(int mbAddr, int list, int x4, int y4, int* ref, int16_t mv[2], bool* avail) const;
    void p_skip_motion(int mbAddr);
    void direct_motion(int mbAddr, int blk8);  // blk8 -1 = the whole macroblock
    void spatial_direct_refs(int mbAddr, int ref[2], int16_t mv[2][2]);
    void inter_prediction(int mbAddr);
    void predict_block(int mbAddr, int x4, int y4, int w4, int h4);
    template <typename Pel>
    void predict_block_t(int mbAddr, int x4, int y4, int w4, int h4);
    void reconstruct_high(int mbAddr, int i16mode, int chromaMode, const int32_t* predModes);
    template <typename Coef>
    void decode_residual_t(BitReader& br, int mbAddr, int cbp, int i16, Coef* coefY, Coef* coefC);
    template <typename Coef>
    int cavlc_block_t(BitReader& br, int nC, int maxNum, Coef** pp);
    // loop filter (deblock.cpp)
    void deblock_picture();
    void deblock_mb(int mbAddr);
    template <typename Pel>
    void deblock_mb_t(int mbAddr);

    OutputFn out_;
    CavlcTables tables_;
    Sps sps_[32];
    Pps pps_[256];
    const Sps* sps = nullptr;  // active
    const Pps* pps = nullptr;
    ScalingMatrices scaling_;
    // level scales for the current picture: [list 0..5][QP%6][16] and [2][6][64]
    int16_t levels4_[6][6][16];
    int16_t levels8_[2][6][64];
    int32_t levels4w_[6][6][16];  // the same, 32-bit, for the high bit depth functions
    int32_t levels8w_[2][6][64];
    int bit_depth_ = 8;        // BitDepthY = BitDepthC
    int qp_bd_offset_ = 0;     // QpBdOffsetY = 6 * (bit_depth_ - 8)
    bool c422_ = false;        // chroma_format_idc 2: chroma 8x16 per macroblock
    int mbhC_ = 8;             // chroma rows per macroblock

    std::vector<std::unique_ptr<Picture>> pool_;
    Picture* cur_ = nullptr;
    int next_uid_ = 1;
    int width_mbs_ = 0, height_mbs_ = 0;
    int dpb_size_ = 1;
    int reorder_ = 0;
    int mbs_decoded_ = 0;

    PocState poc_;
    int max_long_term_idx_ = -1;  // -1 = no long-term frame indices

    // current slice
    SliceHeader sh_;
    SliceHeader first_sh_;
    Picture* list_[2][33] = {};
    int list_len_[2] = {0, 0};
    int implicit_w_[32][32];  // w0 of implicit weighting by (refIdxL0, refIdxL1); w1 = 64 - w0
    int slice_num_ = 0;
    int qp_ = 0;
    bool col_short_term_ = true;

    std::vector<uint8_t> uniform_;  // loop filter: macroblocks of one motion, no coefficients

    // macroblock scratch
    alignas(32) int16_t coefY_[16 * 16 + 16];
    alignas(32) int16_t coefC_[16 + 16 * 16];
    alignas(32) int32_t coefY32_[16 * 16 + 16];  // high bit depths
    alignas(32) int32_t coefC32_[16 + 16 * 16];
    uint32_t cbp4x4_ = 0;  // luma blocks with coefficients (bits of the luma reconstruction)
    uint32_t cbpC_ = 0;    // chroma blocks, in the layout of the 4:2:0 or 4:2:2 chroma reconstruction
    int mb_type_ = 0;    // MbKind of the current macroblock
    int shape_ = 0;      // 0 16x16, 1 16x8, 2 8x16, 3 8x8
    int sub_type_[4] = {};  // B sub_mb_type, or 100 + P sub_mb_type
    bool no_sub_8x8_ = true;
    uint32_t decoded_ = 0;  // 4x4 blocks of the current macroblock with motion
    bool direct_valid_ = false;
    int direct_ref_[2] = {0, 0};
    int16_t direct_mv_[2][2] = {};
    int weight_mode_ = 0;  // 0 default, 1 explicit, 2 implicit
    alignas(32) uint16_t pred_[2][16 * 16];  // bi-prediction scratch (8-bit samples use the first half)
    alignas(32) uint16_t predC_[2][2][8 * 16];
};

}  // namespace h264dec
