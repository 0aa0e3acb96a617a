// H.264 CAVLC and Exp-Golomb decoding, portable implementations (baseline
// x86-64).
#define ZAN_CAVLC_KERNELS c
#include "h264/cavlc_exports.h"
