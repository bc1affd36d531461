// Order files: writing the order's cells and ups as a one-column UTF-8 text,
// and reading such files and the quantity columns of spreadsheet exports.
#include "calc/OrderFile.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "calc/PlateLayout.h"
#include "platform/Gbk.h"

namespace calc {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUpsHead = "模数", kUpsCaption = "单版模数", kQuantityHead = "订单数量";
constexpr std::string_view kRowEnd = "\r\n";

// Values beyond any quantity or ups stop growing here, so that no digit string overflows.
constexpr int64_t kSaturated = 1'000'000'000'000'000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// ---- Decoding ---------------------------------------------------------------------

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (len == 0 || len > s.size() - i) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        const auto second = static_cast<unsigned char>(s[i + 1]);
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second > 0x8F))
            return false;
        i += len;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 after its byte order mark, as spreadsheets save "Unicode text".
// Unpaired surrogates and an odd last byte become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    if (i < bytes.size()) appendUtf8(out, 0xFFFD);
    return out;
}

// The bytes as UTF-8 text: `storage` holds it when it had to be converted.
std::string_view decoded(std::string_view bytes, std::string& storage) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        storage = utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
        return storage;
    }
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    if (isValidUtf8(bytes)) return bytes;
    // Spreadsheets on Chinese systems save their text as GBK.
    storage = platform::gbkToUtf8(bytes);
    return storage;
}

bool isText(std::string_view text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') return false;
    }
    return true;
}

// ---- Numbers ----------------------------------------------------------------------

struct WholeNumber {
    bool negative = false;
    int64_t value = 0;  // at most kSaturated
};

// One to three digits without a leading zero, then groups of a comma and three digits.
bool isGroupedDigits(std::string_view s) {
    const size_t lead = std::min(s.find(','), s.size());
    if (lead < 1 || lead > 3 || s[0] == '0' || lead == s.size()) return false;
    for (size_t i = 0; i < lead; ++i)
        if (!isDigit(s[i])) return false;
    size_t at = lead;
    for (; at < s.size(); at += 4)
        if (s.size() - at < 4 || s[at] != ',' || !isDigit(s[at + 1]) || !isDigit(s[at + 2]) || !isDigit(s[at + 3]))
            return false;
    return true;
}

// A trimmed field as a whole number: sign, plain or grouped digits, and
// optionally a point followed by zeros only.
std::optional<WholeNumber> wholeNumber(std::string_view s) {
    WholeNumber n;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        n.negative = s[0] == '-';
        s.remove_prefix(1);
    }
    const size_t point = s.find('.');
    if (point != std::string_view::npos) {
        const std::string_view fraction = s.substr(point + 1);
        if (fraction.empty() || fraction.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
        s = s.substr(0, point);
    }
    if (s.empty()) return std::nullopt;
    const bool plain = std::all_of(s.begin(), s.end(), isDigit);
    if (!plain && !isGroupedDigits(s)) return std::nullopt;
    for (char c : s) {
        if (c == ',') continue;
        n.value = std::min(kSaturated, n.value * 10 + (c - '0'));
    }
    return n;
}

bool isGroupedWholeNumber(std::string_view s) {
    s = trimmed(s);
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
    return s.find(',') != std::string_view::npos && isGroupedDigits(s);
}

std::optional<int32_t> quantityOf(std::string_view field) {
    const std::optional<WholeNumber> n = wholeNumber(field);
    if (!n || n->negative || !isValidQuantity(n->value)) return std::nullopt;
    return static_cast<int32_t>(n->value);
}

std::optional<int32_t> upsOf(std::string_view field) {
    const std::optional<WholeNumber> n = wholeNumber(field);
    if (!n || n->negative || n->value < 1 || n->value > kMaxUpsPerPlate) return std::nullopt;
    return static_cast<int32_t>(n->value);
}

// ---- Rows and fields --------------------------------------------------------------

// The separator of the first line holding a tab, semicolon or comma outside
// quotes, other than a line that is one grouped number; 0 when there is none.
// A quote opens a quoted stretch where a field may start: at the line's start or
// after one of the three, blanks between.
char findSeparator(std::string_view text) {
    bool inQuotes = false, fieldStart = true, tab = false, semicolon = false, comma = false;
    size_t lineStart = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '\n';
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') ++i;
                else inQuotes = false;
            }
            continue;
        }
        if (isLineEnd(c)) {
            const std::string_view line = text.substr(lineStart, std::min(i, text.size()) - lineStart);
            if (tab) return '\t';
            if (semicolon) return ';';
            if (comma && !isGroupedWholeNumber(line)) return ',';
            tab = semicolon = comma = false;
            fieldStart = true;
            lineStart = i + 1;
            continue;
        }
        if (c == '"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
        } else if (c == '\t' || c == ';' || c == ',') {
            (c == '\t' ? tab : c == ';' ? semicolon : comma) = true;
            fieldStart = true;
        } else if (c != ' ') {
            fieldStart = false;
        }
    }
    return 0;
}

// Cuts the text into rows of trimmed, unquoted fields.
class RowReader {
public:
    RowReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    // The next row and the line it starts on; false after the last row. A
    // line end at the very end of the text adds no row.
    bool next(std::vector<std::string>& fields, int64_t& line) {
        if (pos_ >= text_.size()) return false;
        fields.clear();
        line = line_;
        if (separator_ == ',') {
            size_t end = pos_;
            while (end < text_.size() && !isLineEnd(text_[end])) ++end;
            const std::string_view whole = text_.substr(pos_, end - pos_);
            if (isGroupedWholeNumber(whole)) {
                fields.emplace_back(trimmed(whole));
                pos_ = end;
                endLine();
                return true;
            }
        }
        for (;;) {
            fields.push_back(readField());
            if (pos_ < text_.size() && separator_ != 0 && text_[pos_] == separator_) {
                ++pos_;
                continue;
            }
            endLine();
            return true;
        }
    }

private:
    bool isSeparator(char c) const { return separator_ != 0 && c == separator_; }

    std::string readField() {
        std::string field;
        size_t p = pos_;
        while (p < text_.size() && (text_[p] == ' ' || (text_[p] == '\t' && separator_ != '\t'))) ++p;
        if (p < text_.size() && text_[p] == '"') {
            for (++p; p < text_.size();) {
                const char c = text_[p];
                if (c == '"') {
                    if (p + 1 < text_.size() && text_[p + 1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += c;
                ++p;
                // A line end inside quotes belongs to the field but still counts as a line.
                if (c == '\n' || (c == '\r' && (p == text_.size() || text_[p] != '\n'))) ++line_;
            }
        }
        // After a closing quote, what stands before the separator still belongs to the field.
        while (p < text_.size() && !isLineEnd(text_[p]) && !isSeparator(text_[p])) field += text_[p++];
        pos_ = p;
        return std::string(trimmed(field));
    }

    void endLine() {
        if (pos_ >= text_.size()) return;
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
        ++line_;
    }

    std::string_view text_;
    char separator_;
    size_t pos_ = 0;
    int64_t line_ = 1;
};

bool isUpsRow(const std::vector<std::string>& fields) {
    return !fields.empty() && (fields[0] == kUpsHead || fields[0] == kUpsCaption);
}

// True when no field from the n-th on holds anything.
bool emptyFrom(const std::vector<std::string>& fields, size_t n) {
    return std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(n, fields.size())), fields.end(),
                       [](const std::string& f) { return f.empty(); });
}

// Where the quantities stand: the quantity columns, in ascending order, and
// whether a header row named them.
struct ColumnChoice {
    std::vector<size_t> columns;
    bool header = false;
};

// The header row's 订单数量 columns, or else the leftmost whole number of a
// row that holds one; nothing for a title row.
std::optional<ColumnChoice> chooseColumns(const std::vector<std::string>& fields) {
    ColumnChoice choice;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i] == kQuantityHead) choice.columns.push_back(i);
    if (!choice.columns.empty()) {
        choice.header = true;
        return choice;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        if (wholeNumber(fields[i])) {
            choice.columns.push_back(i);
            return choice;
        }
    }
    return std::nullopt;
}

// The quantity columns and how many data rows they run through (up to the
// last one with an entry in any of them): the first of the two readings.
struct Layout {
    ColumnChoice choice;
    int64_t dataRows = 0;
};

Layout findLayout(std::string_view text, char separator) {
    Layout layout;
    RowReader rows(text, separator);
    std::vector<std::string> fields;
    int64_t line = 0, dataIndex = 0;
    bool reading = false;
    while (rows.next(fields, line)) {
        if (isUpsRow(fields)) continue;
        if (!reading) {
            std::optional<ColumnChoice> choice = chooseColumns(fields);
            if (!choice) continue;
            layout.choice = std::move(*choice);
            reading = true;
            if (layout.choice.header) continue;
        }
        for (size_t column : layout.choice.columns) {
            if (column >= fields.size()) break;
            if (!fields[column].empty()) {
                layout.dataRows = dataIndex + 1;
                break;
            }
        }
        ++dataIndex;
    }
    return layout;
}

// The entries of one kind as they turn up, keeping the first few by position.
class EntryCollector {
public:
    void add(int64_t position, int64_t line, std::string_view text) {
        ++count_;
        if (kept_.size() == kNamedEntries && position >= kept_.back().first) return;
        auto at = std::upper_bound(kept_.begin(), kept_.end(), position,
                                   [](int64_t p, const auto& entry) { return p < entry.first; });
        kept_.insert(at, {position, OrderFileEntry{line, std::string(text)}});
        if (kept_.size() > kNamedEntries) kept_.pop_back();
    }
    OrderFileEntries finish() {
        OrderFileEntries entries;
        entries.count = count_;
        for (auto& [position, entry] : kept_) entries.named.push_back(std::move(entry));
        return entries;
    }

private:
    int64_t count_ = 0;
    std::vector<std::pair<int64_t, OrderFileEntry>> kept_;
};

// Cell position of a data row's entry in the k-th quantity column.
int64_t positionOf(size_t k, int64_t dataRows, int64_t dataIndex) {
    const auto column = static_cast<int64_t>(k);
    if (column > 0 && dataRows > (std::numeric_limits<int64_t>::max() - dataIndex) / column)
        return std::numeric_limits<int64_t>::max();
    return column * dataRows + dataIndex;
}

}  // namespace

std::string formatOrderFile(std::span<const int32_t> cells, int32_t ups) {
    size_t used = cells.size();
    while (used > 0 && !isValidQuantity(cells[used - 1])) --used;
    std::string out(kUtf8Bom);
    out.append(kUpsHead).append(",").append(std::to_string(ups)).append(kRowEnd);
    out.append(kQuantityHead).append(kRowEnd);
    for (size_t i = 0; i < used; ++i) {
        if (isValidQuantity(cells[i])) out += std::to_string(cells[i]);
        out.append(kRowEnd);
    }
    return out;
}

OrderFile parseOrderFile(std::string_view bytes, int64_t cellLimit) {
    OrderFile file;
    std::string storage;
    const std::string_view text = decoded(bytes, storage);
    if (!isText(text)) {
        file.text = false;
        return file;
    }
    const char separator = findSeparator(text);
    const Layout layout = findLayout(text, separator);
    const std::vector<size_t>& columns = layout.choice.columns;

    EntryCollector rejected, beyond;
    // Plain so far: one quantity column, the first, headed; cleared by anything more.
    bool plain = layout.choice.header && columns.size() == 1 && columns[0] == 0;
    bool upsSeen = false, reading = false;
    int64_t dataIndex = 0;
    RowReader rows(text, separator);
    std::vector<std::string> fields;
    int64_t line = 0;
    while (rows.next(fields, line)) {
        if (isUpsRow(fields)) {
            const std::string_view value = fields.size() > 1 ? std::string_view(fields[1]) : std::string_view();
            const std::optional<int32_t> ups = upsSeen ? std::nullopt : upsOf(value);
            if (ups) file.ups = ups;
            else rejected.add(-1, line, value.empty() ? fields[0] : fields[0] + " " + std::string(value));
            upsSeen = true;
            plain = plain && emptyFrom(fields, 2);
            continue;
        }
        if (!reading) {
            const std::optional<ColumnChoice> choice = chooseColumns(fields);
            if (!choice) {
                // A title row above the quantities.
                if (!emptyFrom(fields, 0)) plain = false;
                continue;
            }
            reading = true;
            file.headed = file.headed || choice->header;
            if (choice->header) {
                plain = plain && emptyFrom(fields, 1);
                continue;
            }
        }
        if (!emptyFrom(fields, 1)) plain = false;
        if (dataIndex < layout.dataRows) {
            for (size_t k = 0; k < columns.size() && columns[k] < fields.size(); ++k) {
                const std::string& entry = fields[columns[k]];
                if (entry.empty()) continue;
                const int64_t position = positionOf(k, layout.dataRows, dataIndex);
                const std::optional<int32_t> quantity = quantityOf(entry);
                if (!quantity) rejected.add(position, line, entry);
                else if (position >= cellLimit) beyond.add(position, line, entry);
                else file.quantities.push_back({position, *quantity});
            }
        }
        ++dataIndex;
    }

    std::sort(file.quantities.begin(), file.quantities.end(),
              [](const PlacedQuantity& a, const PlacedQuantity& b) { return a.position < b.position; });
    file.rejected = rejected.finish();
    file.beyond = beyond.finish();
    file.headed = file.headed || upsSeen;
    file.plain = plain && upsSeen && file.rejected.count == 0 && file.beyond.count == 0;
    return file;
}

}  // namespace calc
