// Texts, byte-sets, tag sizes and integer arrays: building, appending and index checks.
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/Array.h"
#include "runtime/ConstantRegion.h"
#include "runtime/Heap.h"
#include "runtime/RuntimeTestSupport.h"
#include "runtime/Text.h"
#include "runtime/Value.h"

using namespace rt_test;

namespace {

class RuntimeTextArray : public RuntimeFixture {};

std::vector<int32_t> words(const void* block, size_t n) {
    std::vector<int32_t> out(n);
    std::memcpy(out.data(), block, 4 * n);
    return out;
}

void* heapArray(const std::vector<int32_t>& w) {
    void* block = rt::AllocBlock(4 * w.size());
    std::memcpy(block, w.data(), 4 * w.size());
    return block;
}

TEST_F(RuntimeTextArray, EmptyTextsAreNullButConcatenationAlwaysMakesABlock) {
    EXPECT_EQ(rt::makeText(""), nullptr);
    EXPECT_EQ(rt::makeText(std::string_view("\0x", 2)), nullptr);  // a text ends at its first zero
    EXPECT_EQ(rt::makeByteSet(""), nullptr);

    char* empty = rt::concatTexts({nullptr, rt::ConstantRegion::program().emptyText()});
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], '\0');
    rt::FreeBlock(empty);

    char* ab = rt::makeText("ab");
    char* joined = rt::concatTexts({ab, nullptr, "c"});
    EXPECT_STREQ(joined, "abc");
    EXPECT_NE(joined, ab);
    rt::FreeBlock(joined);
    rt::FreeBlock(ab);

    void* bytes = rt::makeByteSet(std::string_view("x\0y", 3));
    EXPECT_EQ(words(bytes, 2), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(rt::byteSetView(bytes), std::string_view("x\0y", 3));
    rt::FreeBlock(bytes);
}

TEST_F(RuntimeTextArray, ElementSizesAndTagClasses) {
    struct Case {
        uint32_t tag;
        uint32_t size;
    };
    for (Case c : {Case{rt::tag::Text, 0}, Case{rt::tag::ByteSet, 0}, Case{rt::tag::Bool, 0},
                   Case{rt::tag::DateTime, 0}, Case{rt::tag::Byte, 1}, Case{rt::tag::Short, 2},
                   Case{rt::tag::Int, 4}, Case{rt::tag::Float, 4}, Case{rt::tag::Long, 8},
                   Case{rt::tag::Double, 8}, Case{0x80000301u | rt::tag::ArrayFlag, 0}})
        EXPECT_EQ(rt::numericElementSize(c.tag), c.size) << std::hex << c.tag;
    EXPECT_EQ(rt::classifyTag(0), rt::TagClass::None);
    EXPECT_EQ(rt::classifyTag(0xBFFFFFFFu), rt::TagClass::Basic);
    EXPECT_EQ(rt::classifyTag(0x20001), rt::TagClass::Library);
    EXPECT_EQ(rt::classifyTag(0x40000001u), rt::TagClass::User);
    EXPECT_EQ(rt::classifyTag(0xC0000000u), rt::TagClass::User);
}

TEST_F(RuntimeTextArray, AppendingToATwoByThreeArrayFlattensIt) {
    void* array = heapArray({2, 2, 3, 11, 12, 13, 21, 22, 23});
    rt::appendIntElement(&array, 99);
    EXPECT_EQ(rt::arrayElementCount(array), 7u);
    EXPECT_EQ(words(array, 9), (std::vector<int32_t>{1, 7, 11, 12, 13, 21, 22, 23, 99}));
    rt::FreeBlock(array);
}

TEST_F(RuntimeTextArray, SharedEmptyArrayIsCopiedBeforeAppendAndRestoredByReset) {
    const rt::ConstantRegion& region = rt::ConstantRegion::program();
    void* array = const_cast<void*>(region.emptyArray());
    rt::appendIntElement(&array, 5);
    rt::appendIntElement(&array, 6);
    EXPECT_FALSE(region.contains(array));
    EXPECT_EQ(words(array, 4), (std::vector<int32_t>{1, 2, 5, 6}));
    EXPECT_EQ(words(region.emptyArray(), 2), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(*rt::intElementAt(array, 2), 6);

    rt::resetArray(&array);
    EXPECT_EQ(array, region.emptyArray());
    EXPECT_EQ(rt::arrayElementCount(nullptr), 0u);
}

TEST_F(RuntimeTextArray, IndexChecksRaiseErrorsFourAndOne) {
    struct Case {
        std::vector<int32_t> block;
        int32_t index;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{1, 3, 7, 8, 9}, 0, 4, "数组成员引用下标必须大于等于1"},
        {{1, 3, 7, 8, 9}, -2147483647 - 1, 4, "数组成员引用下标必须大于等于1"},
        {{1, 3, 7, 8, 9}, 4, 1, "数组成员引用下标超出定义范围"},
        {{1, 0}, 1, 1, "数组成员引用下标超出定义范围"},
    };
    const int32_t routine = 0x04000012, statement = 37;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        host.boxes.clear();
        rt::resetProgramStateForTesting();
        void* array = heapArray(c.block);
        EXPECT_EQ(exitCodeOf([&] { rt::intElementAt(array, c.index, routine, statement); }), -1);
        // An error from application code names the routine: no window lines.
        EXPECT_EQ(reportText(), gbk("运行时出错!\r\n\r\n错误代码：") + std::to_string(c.code) + "\r\n" +
                                    gbk("\r\n错误信息：") + gbk(c.message) + "\r\n" +
                                    detailHead(routine, statement) + "\r\n");
        rt::FreeBlock(array);
    }
}

TEST_F(RuntimeTextArray, MakingPrivateCopiesTheWholeBlockOnce) {
    alignas(8) static const int32_t shared[] = {2, 2, 2, 1, 2, 3, 4};
    rt::ConstantRegion region(reinterpret_cast<const uint8_t*>(shared), sizeof shared);
    rt::setActiveConstantRegion(&region);
    void* array = const_cast<int32_t*>(shared);
    rt::makeArrayPrivate(4, &array);
    ASSERT_NE(array, static_cast<const void*>(shared));
    EXPECT_EQ(words(array, 7), (std::vector<int32_t>(std::begin(shared), std::end(shared))));
    void* again = array;
    rt::makeArrayPrivate(4, &again);
    EXPECT_EQ(again, array);
    rt::FreeBlock(array);
    rt::setActiveConstantRegion(&rt::ConstantRegion::program());
}

}  // namespace
