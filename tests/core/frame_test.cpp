// The library frame: version record, entry dispatch, memory helpers, and the
// region copy and fill with their checks and streaming paths.
#include <cstring>
#include <string>
#include <vector>

#include "core/cpu.h"
#include "core/memory.h"
#include "core/zancore/zancore.h"
#include "support/checkasm.h"

namespace {

TEST(Version, RecordValuesAndIdentity) {
    const ZanVersionInfo* v = zanvcGetLibVersion();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v, zanvcGetLibVersion());
    EXPECT_EQ(v->major, 8);
    EXPECT_EQ(v->minor, 2);
    EXPECT_EQ(v->update, 1);
    EXPECT_EQ(v->revision, 44077);
    EXPECT_EQ(std::memcmp(v->cpuTag, "l9\0\0", 4), 0);
    EXPECT_STREQ(v->name, "zanVC AVX2 (l9 threaded)");
    EXPECT_STREQ(v->version, "8.2.1 (r44077)");
    EXPECT_STREQ(v->buildDate, "Oct  9 2014");  // two blanks
    EXPECT_EQ(std::string(v->buildDate).find("Oct  9"), 0u);
}

TEST(Dispatch, EntryReachesTheImplementation) {
    // The entry and both implementations agree on a small copy.
    uint8_t src[16], a[16] = {}, b[16] = {};
    for (int i = 0; i < 16; ++i) src[i] = uint8_t(i * 7);
    EXPECT_EQ(zaniCopy_8u_C1R(src, 4, a, 4, {4, 4}), ZAN_OK);
    EXPECT_EQ(zan::c::zaniCopy_8u_C1R(src, 4, b, 4, {4, 4}), ZAN_OK);
    EXPECT_TRUE(zt::same_array(a, b, 16));
    EXPECT_EQ(zan::c::zanvcGetLibVersion(), zanvcGetLibVersion());
}

TEST(CoreLibrary, AllocationAlignmentCacheAndThreads) {
    for (size_t n : {size_t(1), size_t(63), size_t(4096), size_t(1) << 20}) {
        void* p = zanMalloc(n);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
        std::memset(p, 1, n);
        zanFree(p);
    }
    EXPECT_EQ(zanMalloc(0), nullptr);
    zanFree(nullptr);
    alignas(16) char buf[32];
    EXPECT_EQ(zanAlignPtr(buf + 1, 4), buf + 4);
    EXPECT_EQ(zanAlignPtr(buf + 4, 4), buf + 4);
    int32_t cache = -1;
    if (zanGetMaxCacheSizeB(&cache) == 0) {
        EXPECT_GT(cache, 0);
    }
    EXPECT_NE(zanGetMaxCacheSizeB(nullptr), 0);
    EXPECT_GE(ownGetNumThreads(), 1);
}

TEST(MemoryHelpers, MallocWrappers) {
    EXPECT_EQ(zansMalloc_16u(0), nullptr);
    EXPECT_EQ(zansMalloc_8u(-5), nullptr);
    EXPECT_EQ(zansMalloc_8s(0), nullptr);
    Zan16u* p = zansMalloc_16u(1000);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
    p[999] = 1;  // 2*len bytes are there
    zansFree(p);
}

TEST(MemoryHelpers, OneDimensionalCopyAndFill) {
    std::vector<uint8_t> a(100000), b(100000, 0);
    zt::Rng rng;
    zt::fill(rng, a.data(), a.size(), 0, 255);
    EXPECT_EQ(zansCopy_8u(nullptr, b.data(), 10), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zansCopy_8u(a.data(), b.data(), 0), ZAN_ERR_SIZE);
    EXPECT_EQ(zansCopy_8u(a.data(), b.data(), 100000), ZAN_OK);  // block-move path
    EXPECT_EQ(a, b);
    EXPECT_EQ(zansCopy_16s(reinterpret_cast<Zan16s*>(a.data()), nullptr, 1), ZAN_ERR_NULL_PTR);
    std::fill(b.begin(), b.end(), 0);
    EXPECT_EQ(zansCopy_16s(reinterpret_cast<Zan16s*>(a.data()), reinterpret_cast<Zan16s*>(b.data()), 50000),
              ZAN_OK);
    EXPECT_EQ(a, b);
    EXPECT_EQ(zansSet_8u(9, nullptr, 4), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(zansSet_8u(9, b.data(), 0), ZAN_ERR_SIZE);
    EXPECT_EQ(zansSet_8u(9, b.data() + 3, 1000), ZAN_OK);
    EXPECT_EQ(b[2], a[2]);
    EXPECT_EQ(b[3], 9);
    EXPECT_EQ(b[1002], 9);
    EXPECT_EQ(b[1003], a[1003]);
    EXPECT_EQ(zansZero_8u(b.data(), 5), ZAN_OK);
    EXPECT_EQ(b[4], 0);
    EXPECT_EQ(b[5], 9);
}

TEST(MemoryHelpers, LargeFillTakesTheStreamingRunExactly) {
    // 40 MiB: above the fill floor and (on ordinary machines) above the
    // largest cache, so the non-temporal path runs; its head, body and tails
    // must still cover exactly the requested bytes.
    const int32_t len = 40 * 1024 * 1024 + 37;
    zt::GuardedBuffer buf(size_t(len) + 3, 0);
    EXPECT_EQ(zansSet_8u(0xC3, buf.data() + 3, len), ZAN_OK);
    EXPECT_EQ(buf.data()[2], 0);
    EXPECT_EQ(buf.data()[3], 0xC3);
    EXPECT_EQ(buf.data()[size_t(len) + 2], 0xC3);
    size_t wrong = 0;
    for (size_t i = 3; i < size_t(len) + 3; ++i) wrong += buf.data()[i] != 0xC3;
    EXPECT_EQ(wrong, 0u);
    EXPECT_TRUE(buf.guards_intact());
}

TEST(StreamingDecision, FloorsComeBeforeTheCacheQuery) {
    EXPECT_FALSE(zan::copy_region_streams(127, 1 << 20));  // narrow rows never stream
    EXPECT_FALSE(zan::copy_region_streams(1024, 2048));    // 2*w*h == 4194304: at the floor
    EXPECT_FALSE(zan::fill_1d_streams(2097152));
    EXPECT_FALSE(zan::set_region_streams(6291456));
    int32_t cache = 0;
    if (zanGetMaxCacheSizeB(&cache) == 0 && cache < (256 << 20)) {
        EXPECT_TRUE(zan::copy_region_streams(8192, 1 << 14));  // 256 MiB counted twice
        EXPECT_TRUE(zan::fill_1d_streams(int64_t(cache) + 3000000));
        EXPECT_TRUE(zan::set_region_streams(std::max<int64_t>(cache, 6291457)));
    }
}

// ---------------------------------------------------------------------------
// zaniCopy_8u_C1R / zaniSet_8u_C1R
// ---------------------------------------------------------------------------
using CopyFn = decltype(&zaniCopy_8u_C1R);
using SetFn = decltype(&zaniSet_8u_C1R);

void check_copy(CopyFn fn, zt::Rng& rng, int w, int h, int srcStep, int dstStep, size_t misalign) {
    zt::Plane src(srcStep, h, srcStep, rng.range(0, 63)), dst(dstStep, h, dstStep, misalign);
    zt::fill(rng, src.ptr(), size_t(srcStep) * h, 0, 255);
    zt::fill(rng, dst.ptr(), size_t(dstStep) * h, 0, 255);
    std::vector<uint8_t> before(dst.ptr(), dst.ptr() + size_t(dstStep) * h);
    ASSERT_EQ(fn(src.ptr(), srcStep, dst.ptr(), dstStep, {w, h}), ZAN_OK);
    for (int y = 0; y < h; ++y) {
        ASSERT_EQ(std::memcmp(dst.ptr(0, y), src.ptr(0, y), size_t(w)), 0) << "row " << y;
        ASSERT_EQ(std::memcmp(dst.ptr(w, y), before.data() + size_t(dstStep) * y + w, size_t(dstStep - w)), 0)
            << "bytes past the row end changed in row " << y;
    }
    ASSERT_TRUE(dst.buf.guards_intact());
}

void check_set(SetFn fn, zt::Rng& rng, int w, int h, int step, size_t misalign) {
    zt::Plane dst(step, h, step, misalign);
    zt::fill(rng, dst.ptr(), size_t(step) * h, 0, 255);
    std::vector<uint8_t> before(dst.ptr(), dst.ptr() + size_t(step) * h);
    const uint8_t value = uint8_t(rng.range(0, 255));
    ASSERT_EQ(fn(value, dst.ptr(), step, {w, h}), ZAN_OK);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < step; ++x)
            ASSERT_EQ(*dst.ptr(x, y), x < w ? value : before[size_t(step) * y + x]) << x << "," << y;
    ASSERT_TRUE(dst.buf.guards_intact());
}

class CopyVariants : public ::testing::TestWithParam<bool> {
protected:
    CopyFn copy() const { return GetParam() ? zan::avx2::zaniCopy_8u_C1R : zan::c::zaniCopy_8u_C1R; }
    SetFn set() const { return GetParam() ? zan::avx2::zaniSet_8u_C1R : zan::c::zaniSet_8u_C1R; }
    void SetUp() override {
        if (GetParam()) ZT_REQUIRE_AVX2();
    }
};

TEST_P(CopyVariants, SmallAndOddRegions) {
    zt::Rng rng;
    for (int i = 0; i < 300; ++i) {
        const int w = rng.range(1, 300), h = rng.range(1, 9);
        check_copy(copy(), rng, w, h, w + rng.range(0, 40), w + rng.range(0, 40), size_t(rng.range(0, 63)));
        check_set(set(), rng, w, h, w + rng.range(0, 3) * rng.range(0, 20), size_t(rng.range(0, 63)));
    }
}

TEST_P(CopyVariants, WideRowsAroundTheThreshold) {
    zt::Rng rng;
    for (int w : {1023, 1024, 1025, 4000}) {
        check_copy(copy(), rng, w, 5, w, w, 0);
        check_copy(copy(), rng, w, 5, w + 13, w + 64, 7);
    }
}

TEST_P(CopyVariants, StreamingCopyContiguousAndPerRow) {
    // 2*w*h is 72 MiB: above the floor and above any ordinary cache.
    zt::Rng rng;
    const int w = 6144, h = 6144;
    check_copy(copy(), rng, w, h, w, w, 0);           // one contiguous run
    check_copy(copy(), rng, w - 3, 3000, w, w + 1, 5);  // one run per row, odd alignment
}

TEST_P(CopyVariants, StreamingSetContiguousAndPerRow) {
    zt::Rng rng;
    check_set(set(), rng, 4096, 2600, 4096, 0);
    check_set(set(), rng, 4093, 2600, 4111, 9);
}

TEST_P(CopyVariants, ChecksInOrderAndNothingWritten) {
    uint8_t src[64] = {1}, dst[64];
    zt::Sentinel s(dst, sizeof dst);
    EXPECT_EQ(copy()(nullptr, 8, dst, 8, {0, 0}), ZAN_ERR_NULL_PTR);  // null before size
    EXPECT_EQ(copy()(src, 8, nullptr, 8, {8, 8}), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(copy()(src, 8, dst, 8, {0, 8}), ZAN_ERR_SIZE);
    EXPECT_EQ(copy()(src, 8, dst, 8, {8, 0}), ZAN_ERR_SIZE);
    EXPECT_EQ(copy()(src, 8, dst, 8, {-1, 8}), ZAN_ERR_SIZE);
    EXPECT_EQ(set()(3, nullptr, 8, {0, 0}), ZAN_ERR_NULL_PTR);
    EXPECT_EQ(set()(3, dst, 8, {0, 8}), ZAN_ERR_SIZE);
    EXPECT_EQ(set()(3, dst, 8, {8, -2}), ZAN_ERR_SIZE);
    EXPECT_TRUE(s.untouched());
}

INSTANTIATE_TEST_SUITE_P(Frame, CopyVariants, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "avx2" : "c"; });

TEST(Dispatch, CellsFollowTheProcessor) {
    // Both kernels exist for the copy; the chosen name says which was taken.
    const std::string name = zan::cpu_dispatch_name();
    EXPECT_EQ(name == "AVX2", zt::have_avx2());
}

}  // namespace
