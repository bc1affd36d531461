// The tagged value: every argument and result that crosses the runtime's entry table.
#pragma once

#include <cstdint>
#include <cstring>

namespace rt {

// Type tags of the built-in basic types. The high bit marks a basic type; the
// low byte of every numeric tag is 1.
namespace tag {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t Bool = 0x80000002;
inline constexpr uint32_t DateTime = 0x80000003;
inline constexpr uint32_t Text = 0x80000004;
inline constexpr uint32_t ByteSet = 0x80000005;
inline constexpr uint32_t SubPointer = 0x80000006;
inline constexpr uint32_t Byte = 0x80000101;
inline constexpr uint32_t Short = 0x80000201;
inline constexpr uint32_t Int = 0x80000301;
inline constexpr uint32_t Long = 0x80000401;
inline constexpr uint32_t Float = 0x80000501;
inline constexpr uint32_t Double = 0x80000601;

inline constexpr uint32_t ArrayFlag = 0x20000000;

// Library types of support-library units and objects used by this program.
inline constexpr uint32_t WindowUnit = 0x10001;
inline constexpr uint32_t MenuUnit = 0x10003;
inline constexpr uint32_t TabUnit = 0x10015;
inline constexpr uint32_t GridUnit = 0x20001;
inline constexpr uint32_t XmlTree = 0x50001;
}  // namespace tag

enum class TagClass { None, Basic, Library, User };

constexpr TagClass classifyTag(uint32_t t) {
    if (t == 0) return TagClass::None;
    if (t >= 0x80000000u && t <= 0xBFFFFFFFu) return TagClass::Basic;
    if (t <= 0x3FFFFFFFu) return TagClass::Library;
    return TagClass::User;
}

constexpr bool isArrayTag(uint32_t t) { return (t & tag::ArrayFlag) != 0 && classifyTag(t & ~tag::ArrayFlag) == TagClass::Basic; }
constexpr uint32_t elementTag(uint32_t t) { return t & ~tag::ArrayFlag; }
constexpr bool isNumericTag(uint32_t t) {
    switch (t) {
        case tag::Byte: case tag::Short: case tag::Int: case tag::Long: case tag::Float: case tag::Double: return true;
        default: return false;
    }
}

// Element size of a numeric tag; every other tag (text, byte-set, boolean, date-time) gives 0.
constexpr uint32_t numericElementSize(uint32_t t) {
    switch (t) {
        case tag::Byte: return 1;
        case tag::Short: return 2;
        case tag::Int: case tag::Float: return 4;
        case tag::Long: case tag::Double: return 8;
        default: return 0;
    }
}

// Payload of a tagged value or a property value: two 32-bit words. 8-byte
// values and block pointers fill both words (low word first); everything else
// uses the low word and leaves the high word 0.
struct Words {
    uint32_t low = 0;
    uint32_t high = 0;

    uint64_t bits() const { return uint64_t(low) | (uint64_t(high) << 32); }
    void setBits(uint64_t b) { low = uint32_t(b); high = uint32_t(b >> 32); }

    template <typename T = void>
    T* pointer() const { return reinterpret_cast<T*>(static_cast<uintptr_t>(bits())); }
    void setPointer(const void* p) { setBits(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p))); }

    int32_t asInt() const { return static_cast<int32_t>(low); }
    double asDouble() const { double d; uint64_t b = bits(); std::memcpy(&d, &b, 8); return d; }
    void setDouble(double d) { uint64_t b; std::memcpy(&b, &d, 8); setBits(b); }
    float asFloat() const { float f; std::memcpy(&f, &low, 4); return f; }
    int64_t asLong() const { return static_cast<int64_t>(bits()); }

    static Words ofInt(int32_t v) { Words w; w.low = static_cast<uint32_t>(v); return w; }
    static Words ofDouble(double d) { Words w; w.setDouble(d); return w; }
    static Words ofPointer(const void* p) { Words w; w.setPointer(p); return w; }
};

// A tagged argument or result: low word, high word, type tag, in this order.
struct TaggedArg {
    uint32_t low = 0;
    uint32_t high = 0;
    uint32_t tag = 0;

    Words words() const { return Words{low, high}; }
    void setWords(Words w) { low = w.low; high = w.high; }
    bool omitted() const { return tag == tag::None; }

    template <typename T = char>
    T* pointer() const { return words().pointer<T>(); }
    int32_t asInt() const { return static_cast<int32_t>(low); }
    double asDouble() const { return words().asDouble(); }

    static TaggedArg ofInt(int32_t v) { return {static_cast<uint32_t>(v), 0, tag::Int}; }
    static TaggedArg ofBool(bool v) { return {v ? 1u : 0u, 0, tag::Bool}; }
    static TaggedArg ofDouble(double d) { TaggedArg a; a.setWords(Words::ofDouble(d)); a.tag = tag::Double; return a; }
    static TaggedArg ofLong(int64_t v) { TaggedArg a; Words w; w.setBits(static_cast<uint64_t>(v)); a.setWords(w); a.tag = tag::Long; return a; }
    static TaggedArg ofText(const char* t) { TaggedArg a; a.setWords(Words::ofPointer(t)); a.tag = tag::Text; return a; }
    static TaggedArg ofByteSet(const void* b) { TaggedArg a; a.setWords(Words::ofPointer(b)); a.tag = tag::ByteSet; return a; }
    static TaggedArg ofArray(uint32_t elemTag, const void* block) { TaggedArg a; a.setWords(Words::ofPointer(block)); a.tag = elemTag | tag::ArrayFlag; return a; }
    // A unit object for a method call: window id in the low word, control id in the high word.
    static TaggedArg ofUnit(uint32_t windowId, uint32_t controlId, uint32_t libraryType) { return {windowId, controlId, libraryType}; }
};

static_assert(sizeof(TaggedArg) == 12, "a tagged argument is three 32-bit words");

}  // namespace rt
