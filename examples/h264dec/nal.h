// Annex B byte-stream splitting and NAL unit header parsing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bitstream.h"

namespace h264dec {

struct NalUnit {
    int nal_ref_idc = 0;
    int nal_unit_type = 0;
    Rbsp rbsp;  // payload after the one-byte header, emulation prevention removed
};

// Splits an Annex B byte stream into NAL unit payloads (start code prefixes
// 00 00 01 or 00 00 00 01; trailing zero bytes belong to no NAL unit).
class AnnexBReader {
public:
    AnnexBReader(const uint8_t* data, size_t size) : d_(data), n_(size) {}
    // Next NAL unit (header byte included); false at the end of the stream.
    bool next(const uint8_t** nal, size_t* size);

private:
    const uint8_t* d_;
    size_t n_;
    size_t pos_ = 0;
};

// Parses the header byte and removes emulation prevention bytes (00 00 03).
// Fails on a forbidden_zero_bit of 1 or an empty unit.
void parse_nal(const uint8_t* nal, size_t size, NalUnit* out);

}  // namespace h264dec
