// Fuzz target over the whole example H.264 decoder (examples/h264dec): any
// byte string must end in a clean decode or a DecodeError, never a crash or
// an out-of-bounds access. The decoder sources are compiled in directly; the
// shared example code (CAVLC table builder) is linked.
#include <cstddef>
#include <cstdint>

// Pictures up to 720x576 keep the fuzzer's memory use small.
#define H264DEC_MAX_MBS 1620

#include "../examples/h264dec/bitstream.h"
#include "../examples/h264dec/cavlc_tables.cpp"
#include "../examples/h264dec/deblock.cpp"
#include "../examples/h264dec/decoder.cpp"
#include "../examples/h264dec/macroblock.cpp"
#include "../examples/h264dec/nal.cpp"
#include "../examples/h264dec/params.cpp"
#include "../examples/h264dec/poc.cpp"
#include "../examples/h264dec/recon.cpp"
#include "../examples/h264dec/refs.cpp"
#include "../examples/h264dec/slice.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    long frames = 0;
    try {
        h264dec::Decoder dec([&](const h264dec::OutputFrame& f) {
            // read the first and last sample of every row of every plane, so
            // that the sanitizer checks the cropped view's bounds
            unsigned sum = 0;
            for (int c = 0; c < 3; ++c) {
                int w = (c ? f.width / 2 : f.width) * f.bytes_per_sample, h = c ? f.chroma_height : f.height;
                for (int y = 0; y < h; ++y) {
                    const uint8_t* row = f.plane[c] + size_t(y) * size_t(f.stride[c]);
                    sum += row[0] + row[w - 1];
                }
            }
            frames += sum & 1;
        });
        dec.decode_stream(data, size);
    } catch (const h264dec::DecodeError&) {
    }
    return 0;
}
