// The string-buffer pool: short buffers share 32 fixed blocks, everything else is heap.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/XmlBuffer.h"
#include "net/XmlTree.h"

namespace {

TEST(XmlBuffer, ShortBuffersUseThePoolAndGiveBlocksBack) {
    size_t before = xml::freePoolBlocks();
    ASSERT_EQ(before, xml::kPoolBlockCount);
    {
        xml::XmlBuffer b;
        b.append("abc");
        EXPECT_TRUE(b.pooled());
        EXPECT_EQ(b.capacity(), xml::kPoolBlockSize);
        EXPECT_EQ(xml::freePoolBlocks(), before - 1);
        b.append(std::string(300, 'x'));  // outgrows the block: heap with slack, contents kept
        EXPECT_FALSE(b.pooled());
        EXPECT_EQ(b.capacity(), 303 + xml::kHeapSlack);
        EXPECT_EQ(b.view().substr(0, 4), "abcx");
        EXPECT_EQ(xml::freePoolBlocks(), before);
    }
    EXPECT_EQ(xml::freePoolBlocks(), before);
}

TEST(XmlBuffer, HeapBufferKeepsMemoryOnlyWhileItFits) {
    xml::XmlBuffer b;
    b.assign(std::string(1000, 'a'));
    ASSERT_FALSE(b.pooled());
    EXPECT_EQ(b.capacity(), 1000 + xml::kHeapSlack);
    b.assign(std::string(900, 'b'));  // excess 228: kept
    EXPECT_EQ(b.capacity(), 1000 + xml::kHeapSlack);
    b.assign(std::string(800, 'c'));  // excess 328: moves to a fitting block
    EXPECT_EQ(b.capacity(), 800 + xml::kHeapSlack);
    EXPECT_EQ(b.view(), std::string(800, 'c'));
    b.assign("short");                // back into the pool
    EXPECT_TRUE(b.pooled());
    EXPECT_EQ(b.view(), "short");
    b.clear();
    EXPECT_TRUE(b.pooled());
    EXPECT_EQ(b.size(), 0u);
}

// Guards against growth by the bare slack: a buffer built from many short
// appends was copied whole every 128 bytes, quadratic in its length.
TEST(XmlBuffer, HeapBufferGrownByAppendsMovesOnlyAFewTimes) {
    xml::XmlBuffer b;
    std::string expected;
    int moves = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string piece = std::to_string(i % 10);
        const char* before = b.view().data();
        b.append(piece);
        expected += piece;
        moves += b.view().data() != before;
    }
    EXPECT_LT(moves, 20);
    EXPECT_TRUE(b.view() == expected);
    b.assign("short");  // the grown memory is not kept for a short string
    EXPECT_TRUE(b.pooled());
}

TEST(XmlBuffer, ExhaustedPoolFallsBackToTheHeap) {
    std::vector<std::unique_ptr<xml::XmlBuffer>> held;
    for (size_t i = 0; i < xml::kPoolBlockCount; ++i) {
        held.push_back(std::make_unique<xml::XmlBuffer>());
        held.back()->assign("x");
        EXPECT_TRUE(held.back()->pooled());
    }
    EXPECT_EQ(xml::freePoolBlocks(), 0u);
    xml::XmlBuffer extra;
    extra.assign("y");
    EXPECT_FALSE(extra.pooled());
    EXPECT_EQ(extra.capacity(), 1 + xml::kHeapSlack);
    // Parsing still works with no pool block free.
    EXPECT_TRUE(xml::parseXml("<r a=\"1\"><b>t</b></r>").ok());
    held.clear();
    EXPECT_EQ(xml::freePoolBlocks(), xml::kPoolBlockCount);
}

TEST(XmlBuffer, ParsingReturnsEveryPoolBlock) {
    EXPECT_TRUE(xml::parseXml("<r a=\"1\"><b>t</b></r>").ok());
    EXPECT_FALSE(xml::parseXml("<r a=\"1\"><b>t</c></r>").ok());
    EXPECT_EQ(xml::freePoolBlocks(), xml::kPoolBlockCount);
}

}  // namespace
