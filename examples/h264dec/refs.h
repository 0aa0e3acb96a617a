// Reference pictures of frame decoding: FrameNumWrap (8.2.4.1), initial
// reference lists (8.2.4.2), their modification (8.2.4.3) and decoded
// reference picture marking (8.2.5). Free functions over the pictures of
// the buffer other than the current one, so that they can be tested alone.
#pragma once
#include <vector>

#include "slice.h"

namespace h264dec {

struct Picture;

// FrameNumWrap of every picture relative to the current frameNum.
void set_frame_num_wrap(const std::vector<Picture*>& pics, int frameNum, int maxFrameNum);

// Initial lists of a P slice (list 0 only) or a B slice; FrameNumWrap must
// be current.
void init_ref_lists(const std::vector<Picture*>& pics, int curPoc, bool bSlice, std::vector<Picture*> init[2]);

// Applies the modification commands to list (n entries, null = no picture).
// Throws DecodeError when a command names a picture that is not there.
void modify_ref_list(const std::vector<Picture*>& pics, int frameNum, int maxFrameNum, const RefListMod* mods,
                     int numMods, Picture** list, int n);

// Marks the current picture (sliding window or the commands of sh) and
// updates the others. maxLongTermIdx: MaxLongTermFrameIdx, -1 for "no
// long-term frame indices". Sets cur->mmco5 when operation 5 ran.
void mark_reference(const std::vector<Picture*>& pics, Picture* cur, const SliceHeader& sh, int maxNumRefFrames,
                    int maxFrameNum, int* maxLongTermIdx);

}  // namespace h264dec
