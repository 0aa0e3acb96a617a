// H.264 CAVLC and Exp-Golomb decoding for AVX2 machines: the same bodies
// compiled with BMI2 and LZCNT, so that the bit cursor's variable shifts
// (shlx/shrx) and leading-zero counts (lzcnt) are single instructions.
#define ZAN_CAVLC_KERNELS avx2
#include "h264/cavlc_exports.h"
