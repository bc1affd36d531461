// Heap blocks, the constant-region rules and the out-of-memory report.
#include <cstdint>
#include <cstring>

#include "runtime/ConstantRegion.h"
#include "runtime/Heap.h"
#include "runtime/Host.h"
#include "runtime/RuntimeTestSupport.h"

using namespace rt_test;

// Under AddressSanitizer an absurd allocation must fail the way the heap does
// (a null block) rather than stop the test program.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

class RuntimeHeap : public RuntimeFixture {};

constexpr size_t kAbsurd = SIZE_MAX / 2;

TEST_F(RuntimeHeap, OutOfMemoryReportsTheByteCountAndEnds) {
    EXPECT_EQ(exitCodeOf([] { rt::AllocBlock(kAbsurd); }), -1);
    std::string expected = gbk("运行时出错!\r\n\r\n错误信息：分配 ") + std::to_string(kAbsurd) +
                           gbk(" 字节内存失败!\r\n") + detailHead(0, 0) + "\r\n";
    EXPECT_EQ(reportText(), expected);
    EXPECT_EQ(host.boxes[0].caption, gbk("错误"));
    EXPECT_EQ(host.boxes[0].style & rt::mb::IconMask, rt::mb::IconError);
}

TEST_F(RuntimeHeap, ResizeFailureReportsAndTheNoReportFormAnswersNull) {
    EXPECT_EQ(rt::AllocBlockOrNull(kAbsurd), nullptr);
    EXPECT_TRUE(host.boxes.empty());

    void* block = rt::AllocBlock(8);
    EXPECT_EQ(exitCodeOf([&] { rt::ResizeBlock(block, kAbsurd); }), -1);
    EXPECT_NE(reportText().find(std::to_string(kAbsurd)), std::string::npos);
    rt::FreeBlock(block);  // a failed resize leaves the block as it was
}

TEST_F(RuntimeHeap, ConstantsAreNeverFreed) {
    const rt::ConstantRegion& region = rt::ConstantRegion::program();
    rt::FreeBlock(nullptr);
    rt::FreeBlock(const_cast<char*>(region.emptyText()));
    rt::FreeBlock(const_cast<void*>(region.emptyArray()));
    EXPECT_EQ(region.emptyText()[0], '\0');
    int32_t words[2];
    std::memcpy(words, region.emptyArray(), sizeof words);
    EXPECT_EQ(words[0], 1);
    EXPECT_EQ(words[1], 0);
}

TEST_F(RuntimeHeap, ResizeNearTheEndOfTheRegionCopiesOnlyWhatIsThere) {
    alignas(8) static uint8_t bytes[32];
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
    rt::ConstantRegion region(bytes, sizeof bytes);
    rt::setActiveConstantRegion(&region);

    uint8_t* nearEnd = bytes + sizeof bytes - 4;
    auto* fresh = static_cast<uint8_t*>(rt::ResizeBlock(nearEnd, 16));
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(region.contains(fresh));
    EXPECT_EQ(std::memcmp(fresh, nearEnd, 4), 0);
    for (size_t i = 0; i < sizeof bytes; ++i) EXPECT_EQ(bytes[i], 0xA0 + i) << "region byte " << i;
    rt::FreeBlock(fresh);

    // A block shrunk inside the region copies the new size only.
    auto* small = static_cast<uint8_t*>(rt::ResizeBlock(bytes, 2));
    EXPECT_EQ(small[0], 0xA0);
    EXPECT_EQ(small[1], 0xA1);
    rt::FreeBlock(small);
    rt::setActiveConstantRegion(&rt::ConstantRegion::program());
}

}  // namespace
