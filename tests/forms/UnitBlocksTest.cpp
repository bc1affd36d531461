// Unit-specific blocks: stored orders of label and button, the in-order layout
// of the other types, strict decoding, the grid block's versions and its
// extension word, and the combo box's item list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/UnitBlocks.h"

namespace {

using namespace forms;

std::string words(std::initializer_list<uint32_t> values) {
    std::string out;
    for (uint32_t v : values) appendWord(out, v);
    return out;
}

std::string counted(std::string_view bytes) {
    std::string out;
    appendCounted(out, bytes);
    return out;
}

constexpr uint32_t kBlockedTypes[] = {unittype::Window, unittype::EditBox,  unittype::PicBox,
                                      unittype::ShapeBox, unittype::Label,  unittype::Button,
                                      unittype::RadioBox, unittype::ComboBox, unittype::Grid};

// Gives every own property a value that differs from its reset value and from
// its neighbours, in the form of its type code.
StoredProperties distinctiveValues(uint32_t type) {
    StoredProperties p = defaultProperties(type);
    const std::vector<uint16_t>& codes = ownPropertyTypesOf(type);
    for (uint32_t own = 0; own < codes.size(); ++own) {
        switch (rt::valueFormOf(codes[own])) {
            case rt::ValueForm::Int:
            case rt::ValueForm::Choice:
            case rt::ValueForm::Bool: p.setInteger(own, static_cast<int32_t>(1000 + own)); break;
            case rt::ValueForm::EightBytes: p.setInteger(own, static_cast<int32_t>(own)); break;
            default: p.setBytes(own, std::string("value ") + std::to_string(own) + std::string(1, '\0')); break;
        }
    }
    return p;
}

void expectSameValues(const StoredProperties& a, const StoredProperties& b) {
    ASSERT_EQ(a.values.size(), b.values.size());
    for (size_t i = 0; i < a.values.size(); ++i) {
        EXPECT_EQ(a.values[i].words.low, b.values[i].words.low) << "own " << i;
        EXPECT_EQ(a.values[i].bytes, b.values[i].bytes) << "own " << i;
    }
}

TEST(UnitBlocks, TypeCodesAndVersionsByType) {
    struct Row {
        uint32_t type;
        size_t ownCount;
        uint32_t version;
    };
    // Property counts of the types less the eight common properties.
    for (const Row& r : {Row{unittype::Window, 24, 6}, Row{unittype::EditBox, 21, 2}, Row{unittype::PicBox, 7, 2},
                         Row{unittype::ShapeBox, 7, 1}, Row{unittype::Label, 21, 2}, Row{unittype::Button, 6, 1},
                         Row{unittype::RadioBox, 11, 1}, Row{unittype::ComboBox, 17, 3}, Row{unittype::Grid, 30, 12}}) {
        EXPECT_EQ(ownPropertyTypesOf(r.type).size(), r.ownCount) << std::hex << r.type;
        EXPECT_EQ(highestBlockVersion(r.type), r.version) << std::hex << r.type;
        EXPECT_EQ(defaultProperties(r.type).values.size(), r.ownCount);
    }
    EXPECT_TRUE(ownPropertyTypesOf(unittype::Menu).empty());
    EXPECT_TRUE(ownPropertyTypesOf(0x12345).empty());
    EXPECT_EQ(highestBlockVersion(unittype::Menu), 0u);
    EXPECT_FALSE(decodeUnitBlock(0x12345, words({1})).has_value());

    // The named indices carry the codes their meaning needs.
    EXPECT_EQ(ownPropertyTypesOf(unittype::Label)[labelprop::Caption], 1005);  // text
    EXPECT_EQ(ownPropertyTypesOf(unittype::Label)[labelprop::Font], rt::ptype::Font);
    EXPECT_EQ(ownPropertyTypesOf(unittype::Button)[buttonprop::Picture], rt::ptype::Binary1);
    EXPECT_EQ(ownPropertyTypesOf(unittype::RadioBox)[radioprop::Checked], rt::ptype::Bool);
    EXPECT_EQ(ownPropertyTypesOf(unittype::ComboBox)[comboprop::Items], rt::ptype::Binary5);
    EXPECT_EQ(ownPropertyTypesOf(unittype::EditBox)[editprop::Font], rt::ptype::Font);
    EXPECT_EQ(ownPropertyTypesOf(unittype::PicBox)[picprop::Picture], rt::ptype::Binary1);
    EXPECT_EQ(ownPropertyTypesOf(unittype::Grid)[gridprop::SelectionBackColor], rt::ptype::Colour3);
}

TEST(UnitBlocks, EveryTypeRoundTripsItsResetAndChangedValues) {
    for (uint32_t type : kBlockedTypes) {
        SCOPED_TRACE(type);
        StoredProperties reset = defaultProperties(type);
        auto decoded = decodeUnitBlock(type, encodeUnitBlock(type, reset));
        ASSERT_TRUE(decoded.has_value());
        expectSameValues(*decoded, reset);
        EXPECT_EQ(decoded->version, highestBlockVersion(type));

        if (type == unittype::Grid) continue;  // the grid's values have their own test
        StoredProperties changed = distinctiveValues(type);
        decoded = decodeUnitBlock(type, encodeUnitBlock(type, changed));
        ASSERT_TRUE(decoded.has_value());
        expectSameValues(*decoded, changed);
    }
}

TEST(UnitBlocks, LabelResetValues) {
    StoredProperties label = defaultProperties(unittype::Label);
    const std::pair<uint32_t, uint32_t> resets[] = {{1, 0},         {3, 8},  {2, 0},         {4, 0x808080}, {5, 0xFFFFFF},
                                                    {6, 0x808080},  {8, 0},  {9, 0xFF000000}, {11, 1},       {12, 0},
                                                    {13, 0x808080}, {14, 0xFFFFFF}, {15, 0x808080}, {16, 0}, {18, 1},
                                                    {17, 0}};
    for (const auto& [own, value] : resets) EXPECT_EQ(static_cast<uint32_t>(label.integer(own)), value) << "own " << own;
    EXPECT_TRUE(label.bytes(labelprop::Caption).empty());
    EXPECT_TRUE(label.bytes(labelprop::Font).empty());
}

TEST(UnitBlocks, LabelStoresItsValuesInItsOwnOrder) {
    // Each number holds its property index, so the layout shows which value sits where.
    StoredProperties p = defaultProperties(unittype::Label);
    for (uint32_t own : {1u, 2u, 3u, 4u, 5u, 6u, 8u, 9u, 11u, 12u, 13u, 14u, 15u, 16u, 17u, 18u})
        p.setInteger(own, static_cast<int32_t>(own + 8));
    p.setBytes(labelprop::Font, "F");
    p.setBytes(labelprop::Picture, "PP");
    p.setBytes(labelprop::Caption, "cap");
    p.setBytes(19, "t27");
    p.setBytes(20, "t28");

    std::string expected = words({2, 9, 11, 10, 12, 13, 14, 16, 17, 19, 20, 21, 22, 23, 24, 26, 25}) + counted("F") +
                           counted("PP") + counted("cap") + counted("t27") + counted("t28");
    EXPECT_EQ(encodeUnitBlock(unittype::Label, p), expected);

    // Version 1 lacks the two last texts; they keep their reset values.
    p.version = 1;
    std::string v1 = encodeUnitBlock(unittype::Label, p);
    EXPECT_EQ(v1, words({1, 9, 11, 10, 12, 13, 14, 16, 17, 19, 20, 21, 22, 23, 24, 26, 25}) + counted("F") +
                      counted("PP") + counted("cap"));
    auto decoded = decodeUnitBlock(unittype::Label, v1);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->version, 1u);
    EXPECT_EQ(decoded->bytes(labelprop::Caption), "cap");
    EXPECT_EQ(decoded->integer(labelprop::TextColour), 16);  // property 16
    EXPECT_TRUE(decoded->bytes(19).empty());
    EXPECT_TRUE(decoded->bytes(20).empty());

    // A version-1 header in front of version-2 contents leaves bytes over.
    std::string mislabelled = expected;
    mislabelled[0] = 1;
    EXPECT_FALSE(decodeUnitBlock(unittype::Label, mislabelled).has_value());
}

TEST(UnitBlocks, ButtonStoresTypeAlignmentsPictureFontCaption) {
    std::string font(60, 'f');
    std::string block = words({1, 1, 2, 0}) + counted("pic") + counted(font) + counted("OK");
    auto decoded = decodeUnitBlock(unittype::Button, block);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->integer(buttonprop::Type), 1);
    EXPECT_EQ(decoded->integer(buttonprop::HorizontalAlignment), 2);
    EXPECT_EQ(decoded->integer(buttonprop::VerticalAlignment), 0);
    EXPECT_EQ(decoded->bytes(buttonprop::Picture), "pic");
    EXPECT_EQ(decoded->bytes(buttonprop::Font), font);
    EXPECT_EQ(decoded->bytes(buttonprop::Caption), "OK");
    EXPECT_EQ(encodeUnitBlock(unittype::Button, *decoded), block);
}

TEST(UnitBlocks, OtherTypesStoreTheirPropertiesInIndexOrder) {
    // Shape box: seven numbers in index order after the version.
    StoredProperties shape = defaultProperties(unittype::ShapeBox);
    for (uint32_t own = 0; own < 7; ++own) shape.setInteger(own, static_cast<int32_t>(own + 1));
    EXPECT_EQ(encodeUnitBlock(unittype::ShapeBox, shape), words({1, 1, 2, 3, 4, 5, 6, 7}));

    // Picture box: border, back colour, picture (counted), mode, animate, two texts.
    StoredProperties pic = defaultProperties(unittype::PicBox);
    pic.setInteger(picprop::Border, 1);
    pic.setInteger(picprop::BackColour, 0x123456);
    pic.setBytes(picprop::Picture, "PNG");
    pic.setInteger(picprop::DisplayMode, 2);
    pic.setInteger(picprop::Animate, 0);
    EXPECT_EQ(encodeUnitBlock(unittype::PicBox, pic),
              words({2, 1, 0x123456}) + counted("PNG") + words({2, 0}) + counted("") + counted(""));

    // Values the caller leaves out are written at their reset values.
    StoredProperties partial;
    partial.setBytes(editprop::Content, "abc");
    auto edit = decodeUnitBlock(unittype::EditBox, encodeUnitBlock(unittype::EditBox, partial));
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->bytes(editprop::Content), "abc");
    EXPECT_EQ(edit->bytes(editprop::PasswordChar), defaultProperties(unittype::EditBox).bytes(editprop::PasswordChar));
    EXPECT_EQ(static_cast<uint32_t>(edit->integer(editprop::BackColour)), 0xFF000000u);
}

TEST(UnitBlocks, DecodingIsStrict) {
    for (uint32_t type : kBlockedTypes) {
        SCOPED_TRACE(type);
        std::string block = encodeUnitBlock(type, type == unittype::Grid ? defaultProperties(type)
                                                                          : distinctiveValues(type));
        // An absent block stands for the reset values; any shorter cut is malformed.
        EXPECT_TRUE(decodeUnitBlock(type, {}).has_value());
        for (size_t cut = 1; cut < block.size(); ++cut)
            EXPECT_FALSE(decodeUnitBlock(type, block.substr(0, cut)).has_value()) << "cut at " << cut;
        EXPECT_FALSE(decodeUnitBlock(type, block + '\0').has_value());
        std::string newer = block;
        newer[0] = static_cast<char>(highestBlockVersion(type) + 1);
        EXPECT_FALSE(decodeUnitBlock(type, newer).has_value());
    }
    // A count that runs past the end, and a negative one.
    EXPECT_FALSE(decodeUnitBlock(unittype::EditBox, words({2, 0x7FFFFFFF}) + "abc").has_value());
    EXPECT_FALSE(decodeUnitBlock(unittype::EditBox, words({2, 0xFFFFFFFF})).has_value());
}

TEST(UnitBlocks, ItemListRoundTripsAndStopsAtTheFirstBrokenItem) {
    std::vector<std::string> items{"a", "", std::string("b\0c", 3)};
    std::string bytes = encodeItemList(items);
    EXPECT_EQ(bytes, words({3}) + counted("a") + counted("") + counted(std::string("b\0c", 3)));
    EXPECT_EQ(decodeItemList(bytes), items);

    EXPECT_EQ(decodeItemList(bytes.substr(0, bytes.size() - 1)), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(decodeItemList({}).empty());
    EXPECT_TRUE(decodeItemList(words({0xFFFFFFFF}) + counted("a")).empty());
    // A hostile count yields what is really there.
    EXPECT_EQ(decodeItemList(words({0x7FFFFFFF}) + counted("x")), (std::vector<std::string>{"x"}));
}

// ---- Grid ------------------------------------------------------------------------------

// The values of a version-12 block in stored order for the given settings.
std::string gridWords(const GridSettings& s, uint32_t version, bool markExtension = false) {
    std::string out = words({version});
    for (uint32_t own : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11, 12}) appendInteger(out, s[own]);
    const std::pair<uint32_t, uint32_t> later[] = {{2, 14},  {3, 15}, {4, 16}, {5, 17},  {6, 18},
                                                   {6, 19},  {7, 20}, {8, 21}, {8, 22},  {8, 23},
                                                   {9, 24},  {10, 25}, {11, 26}, {12, 27}};
    for (const auto& [from, own] : later) {
        if (from > version) continue;
        uint32_t v = static_cast<uint32_t>(s[own]);
        if (own == 23 && markExtension) v |= 0x80000000u;
        appendWord(out, v);
    }
    return out;
}

GridSettings numbered() {
    GridSettings s;
    for (uint32_t i = 0; i < gridprop::Count; ++i) s[i] = static_cast<int32_t>(100 + i);
    return s;
}

TEST(GridBlock, AbsentBlockGivesTheDefaults) {
    GridSettings d = defaultGridSettings();
    // The highlight stand-in must not announce an extension word.
    EXPECT_EQ(static_cast<uint32_t>(d[gridprop::SelectionBackColor]) & 0x80000000u, 0u);
    EXPECT_EQ(static_cast<uint32_t>(d[gridprop::FixedBackColor]), 0xFF000000u);
    auto absent = decodeGridBlock({});
    ASSERT_TRUE(absent.has_value());
    for (uint32_t i = 0; i < gridprop::Count; ++i) EXPECT_EQ(absent->values[i], d[i]);
}

TEST(GridBlock, StoresSettingsInItsOrderAndReadsOlderVersions) {
    GridSettings s = numbered();
    s[gridprop::EmptyAreaColor] = defaultGridSettings()[gridprop::EmptyAreaColor];
    s[gridprop::BorderStyle] = defaultGridSettings()[gridprop::BorderStyle];
    EXPECT_EQ(encodeGridBlock(s), gridWords(s, 12));

    GridSettings d = defaultGridSettings();
    for (uint32_t version = 1; version <= 12; ++version) {
        SCOPED_TRACE(version);
        auto decoded = decodeGridBlock(gridWords(s, version));
        ASSERT_TRUE(decoded.has_value());
        for (uint32_t own : {0u, 10u, 11u, 12u, 13u}) EXPECT_EQ(decoded->values[own], s[own]);
        // Settings a version does not carry keep their defaults.
        EXPECT_EQ(decoded->values[14], version >= 2 ? s[14] : d[14]);
        EXPECT_EQ(decoded->values[17], version >= 5 ? s[17] : d[17]);
        EXPECT_EQ(decoded->values[19], version >= 6 ? s[19] : d[19]);
        EXPECT_EQ(decoded->values[23], version >= 8 ? s[23] : d[23]);
        EXPECT_EQ(decoded->values[27], version >= 12 ? s[27] : d[27]);
        EXPECT_EQ(decoded->values[28], d[28]);
    }
    EXPECT_FALSE(decodeGridBlock(gridWords(s, 13)).has_value());
}

TEST(GridBlock, ExtensionWordCarriesTheLastTwoSettings) {
    GridSettings s = numbered();
    s[gridprop::SelectionBackColor] = 0x00FFFF;
    // Marked, then 0 (or 1): 28 and 29 follow; the mark is cleared with the top byte.
    for (uint32_t ext : {0u, 1u}) {
        auto decoded = decodeGridBlock(gridWords(s, 12, true) + words({ext, 0x0000FF, 3}));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->values[gridprop::SelectionBackColor], 0x00FFFF);
        EXPECT_EQ(decoded->values[gridprop::EmptyAreaColor], 0x0000FF);
        EXPECT_EQ(decoded->values[gridprop::BorderStyle], 3);
    }
    // Another extension word carries nothing more.
    auto other = decodeGridBlock(gridWords(s, 12, true) + words({2}));
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->values[gridprop::EmptyAreaColor], defaultGridSettings()[gridprop::EmptyAreaColor]);
    // A mark with no word after it, or a tail cut short, is malformed.
    EXPECT_FALSE(decodeGridBlock(gridWords(s, 12, true)).has_value());
    EXPECT_FALSE(decodeGridBlock(gridWords(s, 12, true) + words({0, 5})).has_value());

    // The writer adds the extension exactly when 28 or 29 are not at their defaults.
    EXPECT_EQ(encodeGridBlock(s), gridWords(s, 12, true) + words({0, 128, 129}));
    GridSettings plain = defaultGridSettings();
    EXPECT_EQ(encodeGridBlock(plain).size(), 4u + 28 * 4);
    plain[gridprop::BorderStyle] = 0;
    auto back = decodeGridBlock(encodeGridBlock(plain));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->values[gridprop::BorderStyle], 0);
}

TEST(GridBlock, SelectionColourWithTheTopBitStillReadsBack) {
    // Without the extension such a value would swallow the next word as one.
    GridSettings s = defaultGridSettings();
    s[gridprop::SelectionBackColor] = static_cast<int32_t>(0xFF000000u);
    auto back = decodeGridBlock(encodeGridBlock(s));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->values[gridprop::SelectionBackColor], 0);
    EXPECT_EQ(back->values[gridprop::BorderStyle], s[gridprop::BorderStyle]);
}

TEST(GridBlock, StoredWindowSettingsRoundTrip) {
    using namespace gridprop;
    GridSettings s = defaultGridSettings();
    s[FocusColor] = 0x0000FF;
    s[SelectionBackColor] = 0x00FFFF;
    s[SelectionTextColor] = 0xFF0000;
    s[EnterMoves] = 2;
    s[AllowRowResize] = 0;
    s[AllowColumnResize] = 0;
    s[RowCount] = 7;
    s[ColumnCount] = 2;
    s[FixedRowCount] = 0;
    s[FixedColumnCount] = 0;
    s[EmptyAreaColor] = 0x808080;
    auto back = decodeGridBlock(encodeGridBlock(s));
    ASSERT_TRUE(back.has_value());
    for (uint32_t i = 0; i < Count; ++i) EXPECT_EQ(back->values[i], s[i]) << "own " << i;

    // Through the generic entry the grid answers the same settings.
    auto generic = decodeUnitBlock(unittype::Grid, encodeGridBlock(s));
    ASSERT_TRUE(generic.has_value());
    EXPECT_EQ(generic->version, 12u);
    EXPECT_EQ(generic->integer(EnterMoves), 2);
    EXPECT_EQ(generic->integer(EmptyAreaColor), 0x808080);
}

}  // namespace
