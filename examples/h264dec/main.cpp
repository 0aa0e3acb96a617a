// zanvc-h264dec IN.264 [-o OUT.yuv] [--framemd5]
//
// Decodes an H.264 Annex B byte stream (CAVLC, progressive, 4:2:0 or 4:2:2,
// 8 to 14 bits) with the zanvc library. Writes raw planar YUV in display
// order (16-bit little-endian samples above 8 bits, as ffmpeg's yuv420p10le
// and yuv422p10le) and/or one MD5 line per frame in the format of
// `ffmpeg -f framemd5`.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "decoder.h"
#include "md5.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: zanvc-h264dec IN.264 [-o OUT.yuv] [--framemd5]\n");
    return 2;
}

bool read_file(const char* path, std::vector<uint8_t>* data) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data->insert(data->end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* in = nullptr;
    const char* outPath = nullptr;
    bool framemd5 = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-o") && i + 1 < argc) outPath = argv[++i];
        else if (!std::strcmp(argv[i], "--framemd5")) framemd5 = true;
        else if (argv[i][0] == '-' && argv[i][1]) return usage();
        else if (!in) in = argv[i];
        else return usage();
    }
    if (!in) return usage();
    std::vector<uint8_t> data;
    if (!read_file(in, &data)) {
        std::fprintf(stderr, "zanvc-h264dec: cannot read %s\n", in);
        return 1;
    }
    FILE* out = nullptr;
    if (outPath) {
        out = std::fopen(outPath, "wb");
        if (!out) {
            std::fprintf(stderr, "zanvc-h264dec: cannot write %s\n", outPath);
            return 1;
        }
    }
    long frame = 0;
    bool header = false;
    std::vector<uint8_t> row;
    auto onFrame = [&](const h264dec::OutputFrame& f) {
        const int w[3] = {f.width, f.width / 2, f.width / 2}, h[3] = {f.height, f.chroma_height, f.chroma_height};
        h264dec::Md5 md5;
        for (int c = 0; c < 3; ++c)
            for (int y = 0; y < h[c]; ++y) {
                const uint8_t* r = f.plane[c] + size_t(y) * size_t(f.stride[c]);
                const size_t n = size_t(w[c]) * size_t(f.bytes_per_sample);  // little-endian host
                if (framemd5) md5.update(r, n);
                if (out) std::fwrite(r, 1, n, out);
            }
        if (framemd5) {
            if (!header) {
                std::printf("#format: frame checksums\n#version: 2\n#hash: MD5\n#software: zanvc-h264dec\n"
                            "#tb 0: 1/25\n#media_type 0: video\n#codec_id 0: rawvideo\n#dimensions 0: %dx%d\n"
                            "#sar 0: %d/%d\n#stream#, dts,        pts, duration,     size, hash\n",
                            f.width, f.height, f.sar_num, f.sar_num ? f.sar_den : 1);
                header = true;
            }
            int size = (w[0] * h[0] + 2 * w[1] * h[1]) * f.bytes_per_sample;
            std::printf("0, %10ld, %10ld, %8d, %8d, %s\n", frame, frame, 1, size, md5.hex().c_str());
        }
        ++frame;
    };
    int status = 0;
    try {
        h264dec::Decoder dec(onFrame);
        dec.decode_stream(data.data(), data.size());
    } catch (const h264dec::DecodeError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "zanvc-h264dec: %s: %s (after %ld frames)\n", in, e.what(), frame);
        status = 1;
    }
    if (out && std::fclose(out) != 0) {
        std::fprintf(stderr, "zanvc-h264dec: error writing %s\n", outPath);
        status = 1;
    }
    return status;
}
