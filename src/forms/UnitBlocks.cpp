// The unit-specific blocks: per-type property codes, reset values, and the
// stored layouts (label, button and grid have their own orders; every other
// type stores its own properties in index order, each in its type code's form).
#include "forms/UnitBlocks.h"

#include <array>
#include <cstring>

namespace forms {

// ---- Byte reading and writing --------------------------------------------------

uint32_t ByteReader::word() {
    std::string_view b = take(4);
    if (b.size() != 4) return 0;
    auto u = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[i])); };
    return u(0) | (u(1) << 8) | (u(2) << 16) | (u(3) << 24);
}

std::string_view ByteReader::take(size_t count) {
    if (failed_ || count > length_ - position_) {
        failed_ = true;
        return {};
    }
    std::string_view out(reinterpret_cast<const char*>(data_) + position_, count);
    position_ += count;
    return out;
}

std::string_view ByteReader::counted() {
    int32_t count = integer();
    if (count < 0) fail();
    if (failed_) return {};
    return take(static_cast<size_t>(count));
}

std::string_view ByteReader::zeroTerminated() {
    if (failed_ || position_ == length_) {
        failed_ = true;
        return {};
    }
    const void* end = std::memchr(data_ + position_, 0, length_ - position_);
    if (!end) {
        failed_ = true;
        return {};
    }
    size_t count = static_cast<size_t>(static_cast<const uint8_t*>(end) - (data_ + position_));
    std::string_view out = take(count);
    skip(1);
    return out;
}

void appendWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void appendCounted(std::string& out, std::string_view bytes) {
    appendWord(out, static_cast<uint32_t>(bytes.size()));
    out.append(bytes);
}

void appendZeroTerminated(std::string& out, std::string_view bytes) {
    out.append(bytes);
    out.push_back('\0');
}

// ---- Type codes and versions ---------------------------------------------------

namespace {

constexpr uint32_t kDefaultColour = 0xFF000000;
// Stands in for the system highlight colour (RGB 51, 153, 255): a stored grid
// value cannot carry the default marker here, because the top bit of this
// setting announces the extension word.
constexpr int32_t kGridHighlight = 0x00FF9933;

const std::vector<uint16_t> kWindowCodes{1005, 1006, 1017, 1009, 1006, 1012, 1006, 1003, 1003, 1003, 1006, 1003,
                                         1010, 1003, 1003, 1003, 1016, 1001, 1003, 1003, 1006, 1003, 1003, 1005};
const std::vector<uint16_t> kEditCodes{1005, 1006, 1014, 1017, 1013, 1003, 1001, 1003, 1006, 1006, 1006,
                                       1005, 1006, 1006, 1001, 1001, 1001, 1001, 1005, 1018, 1020};
const std::vector<uint16_t> kPicCodes{1006, 1017, 1009, 1006, 1003, 1018, 1020};
const std::vector<uint16_t> kShapeCodes{1017, 1006, 1006, 1006, 1001, 1014, 1015};
const std::vector<uint16_t> kLabelCodes{1005, 1006, 1006, 1001, 1015, 1015, 1015, 1013, 1014, 1017, 1009,
                                        1006, 1006, 1015, 1015, 1015, 1006, 1003, 1006, 1018, 1020};
const std::vector<uint16_t> kButtonCodes{1009, 1006, 1005, 1006, 1006, 1013};
const std::vector<uint16_t> kRadioCodes{1009, 1003, 1003, 1005, 1003, 1006, 1006, 1014, 1017, 1013, 1003};
const std::vector<uint16_t> kComboCodes{1006, 1005, 1001, 1001, 1001, 1005, 1003, 1001, 1014,
                                        1017, 1013, 1001, 1024, 1024, 1018, 1020, 1003};
// The grid's settings by own index: colours, choices, booleans and counts.
const std::vector<uint16_t> kGridCodes{1017, 1017, 1017, 1017, 1006, 1003, 1003, 1001, 1001, 1001,
                                       1001, 1001, 1001, 1003, 1003, 1003, 1003, 1017, 1006, 1006,
                                       1006, 1003, 1003, 1017, 1003, 1001, 1017, 1003, 1017, 1006};
const std::vector<uint16_t> kNoCodes;

static_assert(gridprop::Count == 30);

struct BlockedType {
    uint32_t type;
    uint32_t version;
    const std::vector<uint16_t>* codes;
};

constexpr std::array<BlockedType, 9> kTypes{{
    {unittype::Window, 6, &kWindowCodes},
    {unittype::EditBox, 2, &kEditCodes},
    {unittype::PicBox, 2, &kPicCodes},
    {unittype::ShapeBox, 1, &kShapeCodes},
    {unittype::Label, 2, &kLabelCodes},
    {unittype::Button, 1, &kButtonCodes},
    {unittype::RadioBox, 1, &kRadioCodes},
    {unittype::ComboBox, 3, &kComboCodes},
    {unittype::Grid, 12, &kGridCodes},
}};

const BlockedType* blockedType(uint32_t libraryType) {
    for (const BlockedType& t : kTypes)
        if (t.type == libraryType) return &t;
    return nullptr;
}

}  // namespace

const std::vector<uint16_t>& ownPropertyTypesOf(uint32_t libraryType) {
    const BlockedType* t = blockedType(libraryType);
    return t ? *t->codes : kNoCodes;
}

uint32_t highestBlockVersion(uint32_t libraryType) {
    const BlockedType* t = blockedType(libraryType);
    return t ? t->version : 0;
}

// ---- Stored values -------------------------------------------------------------

const std::string& StoredProperties::bytes(uint32_t own) const {
    static const std::string empty;
    return own < values.size() ? values[own].bytes : empty;
}

void StoredProperties::setInteger(uint32_t own, int32_t v) {
    if (own >= values.size()) values.resize(own + 1);
    values[own].words = rt::Words::ofInt(v);
}

void StoredProperties::setBytes(uint32_t own, std::string_view b) {
    if (own >= values.size()) values.resize(own + 1);
    values[own].bytes.assign(b);
}

namespace {

struct Reset {
    uint32_t own;
    int32_t value;
};

StoredProperties withResets(uint32_t libraryType, std::initializer_list<Reset> resets) {
    StoredProperties p;
    p.version = highestBlockVersion(libraryType);
    p.values.resize(ownPropertyTypesOf(libraryType).size());
    for (const Reset& r : resets) p.setInteger(r.own, r.value);
    return p;
}

constexpr int32_t kNone = static_cast<int32_t>(kDefaultColour);

StoredProperties gridAsProperties(const GridSettings& s, uint32_t version) {
    StoredProperties p;
    p.version = version;
    p.values.resize(gridprop::Count);
    for (uint32_t i = 0; i < gridprop::Count; ++i) p.values[i].words = rt::Words::ofInt(s[i]);
    return p;
}

GridSettings gridFromProperties(const StoredProperties& p) {
    GridSettings s = defaultGridSettings();
    for (uint32_t i = 0; i < gridprop::Count && i < p.values.size(); ++i) s[i] = p.values[i].words.asInt();
    return s;
}

}  // namespace

StoredProperties defaultProperties(uint32_t libraryType) {
    using namespace unittype;
    switch (libraryType) {
        case Window: {
            using namespace windowprop;
            return withResets(Window, {{BorderStyle, 2}, {BackColour, kNone}, {ControlBox, 1}, {MaximiseBox, 1},
                                       {MinimiseBox, 1}, {Position, 1}, {Movable, 1}, {ShowInTaskbar, 1}});
        }
        case EditBox: {
            using namespace editprop;
            StoredProperties p = withResets(EditBox, {{Border, 1}, {BackColour, kNone}, {HideSelection, 1}});
            p.setBytes(PasswordChar, "*");
            return p;
        }
        case PicBox: return withResets(PicBox, {{picprop::BackColour, kNone}, {picprop::Animate, 1}});
        case ShapeBox: return withResets(ShapeBox, {{shapeprop::BackColour, kNone}, {shapeprop::LineWidth, 1}});
        case Label: {
            using namespace labelprop;
            return withResets(Label, {{EdgeWidth, 8}, {4, 0x808080}, {5, 0xFFFFFF}, {6, 0x808080},
                                      {BackColour, kNone}, {HorizontalAlignment, 1}, {13, 0x808080},
                                      {14, 0xFFFFFF}, {15, 0x808080}, {WordWrap, 1}});
        }
        case Button:
            return withResets(Button, {{buttonprop::HorizontalAlignment, 1}, {buttonprop::VerticalAlignment, 1}});
        case RadioBox: return withResets(RadioBox, {{radioprop::VerticalAlignment, 1}, {radioprop::BackColour, kNone}});
        case ComboBox: {
            using namespace comboprop;
            return withResets(ComboBox, {{VisibleRows, 8}, {BackColour, kNone}, {Selection, -1}});
        }
        case Grid: return gridAsProperties(defaultGridSettings(), 12);
        default: return {};
    }
}

// ---- Label, button and the generic layout ----------------------------------------

namespace {

// Label: sixteen numbers, then font, picture and caption, then (version 2) two texts.
constexpr std::array<uint32_t, 16> kLabelNumbers{1, 3, 2, 4, 5, 6, 8, 9, 11, 12, 13, 14, 15, 16, 18, 17};
constexpr std::array<uint32_t, 3> kLabelBytes{labelprop::Font, labelprop::Picture, labelprop::Caption};
constexpr std::array<uint32_t, 2> kLabelVersion2Texts{19, 20};
// Button: type, alignments, then picture, font and caption.
constexpr std::array<uint32_t, 3> kButtonNumbers{buttonprop::Type, buttonprop::HorizontalAlignment,
                                                 buttonprop::VerticalAlignment};
constexpr std::array<uint32_t, 3> kButtonBytes{buttonprop::Picture, buttonprop::Font, buttonprop::Caption};

void readNumbers(ByteReader& in, StoredProperties& p, const uint32_t* own, size_t count) {
    for (size_t i = 0; i < count; ++i) p.setInteger(own[i], in.integer());
}
void readBytes(ByteReader& in, StoredProperties& p, const uint32_t* own, size_t count) {
    for (size_t i = 0; i < count; ++i) p.setBytes(own[i], in.counted());
}
void writeNumbers(std::string& out, const StoredProperties& p, const uint32_t* own, size_t count) {
    for (size_t i = 0; i < count; ++i) appendInteger(out, p.integer(own[i]));
}
void writeBytes(std::string& out, const StoredProperties& p, const uint32_t* own, size_t count) {
    for (size_t i = 0; i < count; ++i) appendCounted(out, p.bytes(own[i]));
}

void readLabel(ByteReader& in, StoredProperties& p) {
    readNumbers(in, p, kLabelNumbers.data(), kLabelNumbers.size());
    readBytes(in, p, kLabelBytes.data(), kLabelBytes.size());
    if (p.version >= 2) readBytes(in, p, kLabelVersion2Texts.data(), kLabelVersion2Texts.size());
}

void writeLabel(std::string& out, const StoredProperties& p) {
    writeNumbers(out, p, kLabelNumbers.data(), kLabelNumbers.size());
    writeBytes(out, p, kLabelBytes.data(), kLabelBytes.size());
    if (p.version >= 2) writeBytes(out, p, kLabelVersion2Texts.data(), kLabelVersion2Texts.size());
}

void readButton(ByteReader& in, StoredProperties& p) {
    readNumbers(in, p, kButtonNumbers.data(), kButtonNumbers.size());
    readBytes(in, p, kButtonBytes.data(), kButtonBytes.size());
}

void writeButton(std::string& out, const StoredProperties& p) {
    writeNumbers(out, p, kButtonNumbers.data(), kButtonNumbers.size());
    writeBytes(out, p, kButtonBytes.data(), kButtonBytes.size());
}

void readInOrder(ByteReader& in, StoredProperties& p, const std::vector<uint16_t>& codes) {
    for (uint32_t own = 0; own < codes.size(); ++own) {
        switch (rt::valueFormOf(codes[own])) {
            case rt::ValueForm::Int:
            case rt::ValueForm::Choice:
            case rt::ValueForm::Bool: p.setInteger(own, in.integer()); break;
            case rt::ValueForm::EightBytes:
                p.setInteger(own, 0);
                p.values[own].words.low = in.word();
                p.values[own].words.high = in.word();
                break;
            default: p.setBytes(own, in.counted()); break;
        }
    }
}

void writeInOrder(std::string& out, const StoredProperties& p, const std::vector<uint16_t>& codes) {
    for (uint32_t own = 0; own < codes.size(); ++own) {
        switch (rt::valueFormOf(codes[own])) {
            case rt::ValueForm::Int:
            case rt::ValueForm::Choice:
            case rt::ValueForm::Bool: appendInteger(out, p.integer(own)); break;
            case rt::ValueForm::EightBytes: {
                rt::Words w = own < p.values.size() ? p.values[own].words : rt::Words{};
                appendWord(out, w.low);
                appendWord(out, w.high);
                break;
            }
            default: appendCounted(out, p.bytes(own)); break;
        }
    }
}

}  // namespace

std::optional<StoredProperties> decodeUnitBlock(uint32_t libraryType, std::string_view block) {
    const BlockedType* type = blockedType(libraryType);
    if (!type) return std::nullopt;
    if (libraryType == unittype::Grid) {
        std::optional<GridSettings> grid = decodeGridBlock(block);
        if (!grid) return std::nullopt;
        ByteReader version(block);
        return gridAsProperties(*grid, block.empty() ? type->version : version.word());
    }
    StoredProperties p = defaultProperties(libraryType);
    // An absent block (a unit stored without one) stands for the reset values.
    if (block.empty()) return p;
    ByteReader in(block);
    p.version = in.word();
    if (in.failed() || p.version > type->version) return std::nullopt;
    switch (libraryType) {
        case unittype::Label: readLabel(in, p); break;
        case unittype::Button: readButton(in, p); break;
        default: readInOrder(in, p, *type->codes); break;
    }
    if (!in.atEnd()) return std::nullopt;
    return p;
}

namespace {
std::string encodeGrid(const GridSettings& settings, uint32_t version);
}

std::string encodeUnitBlock(uint32_t libraryType, const StoredProperties& values) {
    const BlockedType* type = blockedType(libraryType);
    if (!type) return {};
    uint32_t version = values.version != 0 && values.version < type->version ? values.version : type->version;
    if (libraryType == unittype::Grid) return encodeGrid(gridFromProperties(values), version);

    // Values the caller left out are written at their reset values.
    StoredProperties p = defaultProperties(libraryType);
    for (size_t i = 0; i < values.values.size() && i < p.values.size(); ++i) p.values[i] = values.values[i];
    p.version = version;
    std::string out;
    appendWord(out, version);
    switch (libraryType) {
        case unittype::Label: writeLabel(out, p); break;
        case unittype::Button: writeButton(out, p); break;
        default: writeInOrder(out, p, *type->codes); break;
    }
    return out;
}

// ---- Combo box items -------------------------------------------------------------

std::string encodeItemList(const std::vector<std::string>& items) {
    std::string out;
    appendWord(out, static_cast<uint32_t>(items.size()));
    for (const std::string& item : items) appendCounted(out, item);
    return out;
}

std::vector<std::string> decodeItemList(std::string_view bytes) {
    std::vector<std::string> items;
    ByteReader in(bytes);
    int32_t count = in.integer();
    // Each item takes at least its 4-byte count, which bounds any honest count.
    for (int32_t i = 0; i < count && !in.failed(); ++i) {
        std::string_view item = in.counted();
        if (in.failed()) break;
        items.emplace_back(item);
    }
    return items;
}

// ---- Grid block --------------------------------------------------------------------

GridSettings defaultGridSettings() {
    using namespace gridprop;
    GridSettings s;
    s[GridLineColor] = 0xC0C0C0;
    s[CellBackColor] = 0xFFFFFF;
    s[CellTextColor] = 0;
    s[FocusColor] = 0;
    s[GridLines] = 3;
    s[AllowRowResize] = 1;
    s[AllowColumnResize] = 1;
    s[DefaultRowHeight] = 24;
    s[DefaultColumnWidth] = 60;
    s[RowCount] = 5;
    s[ColumnCount] = 5;
    s[FixedRowCount] = 1;
    s[FixedColumnCount] = 1;
    s[Editable] = 1;
    s[14] = 1;
    s[MarkedSelection] = 0;
    s[16] = 1;
    s[FixedBackColor] = kNone;
    s[18] = 0;
    s[19] = 0;
    s[EnterMoves] = 0;
    s[WholeLineSelection] = 1;
    s[ListMode] = 0;
    s[SelectionBackColor] = kGridHighlight;
    s[24] = 1;
    s[GridLineWidth] = 0;
    s[SelectionTextColor] = 0;
    s[ShowZero] = 1;
    s[EmptyAreaColor] = 0xFFFFFF;
    s[BorderStyle] = 1;
    return s;
}

namespace {

// The settings every version stores, then those that each later version adds.
constexpr std::array<uint32_t, 14> kGridBase{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 11, 12};
struct GridAddition {
    uint32_t version;
    uint32_t own;
};
constexpr std::array<GridAddition, 14> kGridAdditions{{{2, 14}, {3, 15}, {4, 16}, {5, 17}, {6, 18}, {6, 19},
                                                       {7, 20}, {8, 21}, {8, 22}, {8, 23}, {9, 24}, {10, 25},
                                                       {11, 26}, {12, 27}}};
constexpr uint32_t kGridVersion = 12;
constexpr uint32_t kExtensionMark = 0x80000000u;
// Extension words that carry the two last settings.
constexpr bool extensionCarriesTail(uint32_t word) { return word == 0 || word == 1; }

std::string encodeGrid(const GridSettings& settings, uint32_t version) {
    using namespace gridprop;
    GridSettings s = settings;
    GridSettings d = defaultGridSettings();
    // The tail can only follow setting 23, so it needs version 8 or later.
    bool tail = version >= 8 && (s[EmptyAreaColor] != d[EmptyAreaColor] || s[BorderStyle] != d[BorderStyle]);
    // A value with the top bit set would announce an extension on its own.
    if (version >= 8 && (static_cast<uint32_t>(s[SelectionBackColor]) & kExtensionMark)) tail = true;
    std::string out;
    appendWord(out, version);
    for (uint32_t own : kGridBase) appendInteger(out, s[own]);
    for (const GridAddition& a : kGridAdditions) {
        if (a.version > version) continue;
        uint32_t v = static_cast<uint32_t>(s[a.own]);
        if (a.own == SelectionBackColor && tail) v = (v & 0x00FFFFFFu) | kExtensionMark;
        appendWord(out, v);
    }
    if (tail) {
        appendWord(out, 0);
        appendInteger(out, s[EmptyAreaColor]);
        appendInteger(out, s[BorderStyle]);
    }
    return out;
}

}  // namespace

std::optional<GridSettings> decodeGridBlock(std::string_view block) {
    GridSettings s = defaultGridSettings();
    if (block.empty()) return s;
    ByteReader in(block);
    uint32_t version = in.word();
    if (in.failed() || version > kGridVersion) return std::nullopt;
    for (uint32_t own : kGridBase) s[own] = in.integer();
    bool extension = false;
    for (const GridAddition& a : kGridAdditions) {
        if (a.version > version) continue;
        uint32_t v = in.word();
        if (a.own == gridprop::SelectionBackColor && (v & kExtensionMark)) {
            extension = true;
            v &= 0x00FFFFFFu;
        }
        s[a.own] = static_cast<int32_t>(v);
    }
    if (extension && extensionCarriesTail(in.word())) {
        s[gridprop::EmptyAreaColor] = in.integer();
        s[gridprop::BorderStyle] = in.integer();
    }
    if (!in.atEnd()) return std::nullopt;
    return s;
}

std::string encodeGridBlock(const GridSettings& settings) { return encodeGrid(settings, kGridVersion); }

}  // namespace forms
