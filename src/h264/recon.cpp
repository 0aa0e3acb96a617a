// H.264 macroblock reconstruction, 8-bit 4:2:0, NV12 and 4:2:2: portable
// kernels.
#include "h264/recon_mb.h"

namespace zan::c {

namespace {
using Kernel = zan::h264::recon::PortableKernel;
}  // namespace

#include "h264/recon_exports.inc"

}  // namespace zan::c
