// The terminal table and the JSON object of impostra-cli. The words are those
// of the program's result tables and report, converted from GBK to UTF-8.
#include "app/cli/CliReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "app/cli/CliCost.h"
#include "app/cli/CliTexts.h"
#include "calc/CalcTexts.h"
#include "platform/Gbk.h"
#include "runtime/Numbers.h"

namespace cli {
namespace {

namespace ct = calc::texts;

std::string utf8(std::string_view gbk) { return platform::gbkToUtf8(gbk); }

std::string decimal(int64_t v) { return rt::formatInt(v); }

// Terminal columns of a UTF-8 text: Chinese characters take two.
size_t displayWidth(std::string_view text) {
    size_t width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;
        width += c >= 0xE0 ? 2 : 1;
    }
    return width;
}

std::string padLeft(const std::string& text, size_t width) {
    size_t w = displayWidth(text);
    return w >= width ? text : std::string(width - w, ' ') + text;
}

std::string padRight(const std::string& text, size_t width) {
    size_t w = displayWidth(text);
    return w >= width ? text : text + std::string(width - w, ' ');
}

std::string ratioText(double ratio) { return rt::formatDouble(ratio) + "%"; }

// The whole division's figures, computed as the window's two-plate report
// does: printed = ups x sheets, the ratio rounded to two places.
struct Totals {
    int64_t total = 0, printed = 0, waste = 0;
    double ratio = 0;
};

Totals totalsOf(const Report& r) {
    Totals t;
    for (int32_t q : r.quantities) t.total += q;
    t.printed = int64_t{r.ups} * r.division->sheets;
    t.waste = t.printed - t.total;
    t.ratio = t.total > 0 ? rt::roundTo(static_cast<double>(t.waste) / (static_cast<double>(t.total) / 100), 2) : 0;
    return t;
}

void appendSummary(std::string& out, const calc::PlateLayout& layout, size_t styles) {
    auto row = [&](const char* label, const std::string& value) { out += utf8(label) + "  " + value + "\n"; };
    row(ct::SummarySheets, decimal(layout.sheets));
    row(ct::SummaryTotal, decimal(layout.totalQuantity));
    row(ct::SummaryPrinted, decimal(layout.printedQuantity));
    row(ct::SummaryWaste, decimal(layout.wasteQuantity));
    row(ct::SummaryRatio, ratioText(layout.wasteRatio));
    row(ct::SummaryStyleCount, decimal(static_cast<int64_t>(styles)));
    row(ct::SummaryRemaining, decimal(layout.remainingSlots));
}

// Right-aligned columns, each as wide as its widest entry. 序号 is the
// style's position in the order, counted from 1.
void appendStyleRows(std::string& out, const calc::PlateLayout& layout, std::span<const size_t> positions,
                     std::span<const int32_t> quantities) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back({utf8(ct::StyleHeadNumber), utf8(ct::StyleHeadQuantity), utf8(ct::StyleHeadSlots),
                    utf8(texts::StyleHeadWaste)});
    for (size_t i = 0; i < quantities.size() && i < layout.slotsPerStyle.size(); ++i)
        rows.push_back({decimal(static_cast<int64_t>(positions[i]) + 1), decimal(quantities[i]),
                        decimal(layout.slotsPerStyle[i]), decimal(layout.wastePerStyle[i])});
    std::vector<size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], displayWidth(row[c]));
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) line += (c ? "  " : "") + padLeft(row[c], widths[c]);
        out += line + "\n";
    }
}

std::string notFitLine(size_t styles, int32_t ups, int64_t plates) {
    if (plates == 1)
        return utf8(texts::NotFitPrefix) + decimal(static_cast<int64_t>(styles)) + utf8(texts::NotFitMiddle) +
               decimal(ups) + utf8(texts::NotFitSuffix);
    return utf8(texts::NotFitPrefix) + decimal(static_cast<int64_t>(styles)) + utf8(texts::NotFitMiddle) +
           decimal(ups) + utf8(texts::NotFitPlatesTail) + decimal(plates) + utf8(texts::PlateHeadSuffix);
}

// The one-plate part: the layout with its style rows, or why there is none.
// A laid-out part ends with its last style row, the others with their reason.
void appendOnePlate(std::string& out, const Report& r) {
    const size_t styles = r.quantities.size();
    if (styles == 0) {
        out += utf8(texts::EmptyOrder) + "\n";
    } else if (!r.onePlate.ok) {
        out += utf8(ct::SummaryTotal) + "  " + decimal(r.onePlate.totalQuantity) + "\n";
        out += utf8(ct::SummaryStyleCount) + "  " + decimal(static_cast<int64_t>(styles)) + "\n";
        out += notFitLine(styles, r.ups, 1) + "\n";
    } else {
        appendSummary(out, r.onePlate, styles);
        out += "\n";
        std::vector<size_t> positions(styles);
        for (size_t i = 0; i < styles; ++i) positions[i] = i;
        appendStyleRows(out, r.onePlate, positions, r.quantities);
    }
}

void appendDropped(std::string& out, int64_t dropped) {
    out += utf8(texts::DroppedPrefix) + decimal(dropped) + utf8(texts::DroppedSuffix) + "\n";
}

std::string searchLine(const ShownSearch& s) {
    std::string line = utf8(texts::SearchHead) + decimal(s.trialsRun) + utf8(texts::SearchMiddle) +
                       std::to_string(s.seed) + utf8(texts::SearchSheets) + decimal(s.sheets) + utf8(texts::SearchTail);
    if (s.timedOut) line += utf8(texts::SearchTimedOut);
    return line;
}

std::string refusalLine(const Report& r) {
    const ShownDivision& d = *r.division;
    const size_t styles = r.quantities.size();
    switch (d.refusal) {
        case Refusal::EmptyOrder: return utf8(texts::EmptyOrder);
        case Refusal::FewerStylesThanPlates:
            return utf8(texts::FewerStylesHead) + decimal(static_cast<int64_t>(styles)) +
                   utf8(texts::FewerStylesMiddle) + decimal(d.plateCount) + utf8(texts::PlateHeadSuffix);
        case Refusal::MoreStylesThanSlots: return notFitLine(styles, r.ups, d.plateCount);
        case Refusal::NotFound:
        case Refusal::None: break;
    }
    return utf8(texts::NoDivision);
}

// Whether the exact division is compared with a random search of its own run.
bool comparesWithSearch(const Report& r) {
    return r.search && r.search->found && r.division && r.division->proven && r.division->refusal == Refusal::None;
}

void appendDivision(std::string& out, const Report& r) {
    const ShownDivision& d = *r.division;
    if (d.refusal != Refusal::None) {
        out += refusalLine(r) + "\n";
        if (r.search && r.search->found) out += searchLine(*r.search) + "\n";
        return;
    }
    // The report lines of the window's two-plate section, for any number of plates.
    const Totals t = totalsOf(r);
    out += utf8(texts::PlatesHead) + decimal(d.plateCount) + utf8(texts::PlatesTail) + rt::formatDouble(t.ratio) +
           terminalText(ct::ReportRatioTail);
    out += terminalText(ct::ReportWasteHead) + decimal(t.waste) + terminalText(ct::ReportPiecesLine);
    out += terminalText(ct::ReportSheetsHead) + decimal(d.sheets) + terminalText(ct::ReportSheetsLine);
    out += terminalText(ct::ReportPrintedHead) + decimal(t.printed) + terminalText(ct::ReportPieces) + "\n";
    if (d.proven) {
        if (d.optimal) out += utf8(texts::ProvenOptimal) + "\n";
        else
            out += utf8(texts::LowerBoundHead) + decimal(d.lowerBound) + utf8(texts::LowerBoundMiddle) +
                   decimal(d.sheets - d.lowerBound) + utf8(texts::LowerBoundTail) + "\n";
    }
    if (r.search && r.search->found) out += searchLine(*r.search) + "\n";
    if (comparesWithSearch(r)) {
        const int64_t saved = r.search->sheets - d.sheets;
        out += utf8(saved >= 0 ? texts::SavedHead : texts::SavedMoreHead) + decimal(saved >= 0 ? saved : -saved) +
               utf8(texts::SavedTail) + "\n";
    }
    for (size_t p = 0; p < d.plates.size(); ++p) {
        const ShownPlate& plate = d.plates[p];
        out += "\n" + utf8(texts::PlateHeadPrefix) + decimal(static_cast<int64_t>(p) + 1) +
               utf8(texts::PlateHeadSuffix) + "\n";
        appendSummary(out, plate.layout, plate.quantities.size());
        out += "\n";
        appendStyleRows(out, plate.layout, plate.positions, plate.quantities);
    }
}

// --- the plate count chosen by cost ------------------------------------------

std::string platesText(int32_t plates) { return decimal(plates) + utf8(texts::PlateHeadSuffix); }

std::string costRefusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::EmptyOrder: return utf8(texts::EmptyOrder);
        case Refusal::FewerStylesThanPlates: return utf8(texts::CostImpossible) + utf8(texts::CostFewerStyles);
        case Refusal::MoreStylesThanSlots: return utf8(texts::CostImpossible) + utf8(texts::CostMoreStyles);
        case Refusal::NotFound:
        case Refusal::None: break;
    }
    return utf8(texts::NoDivision);
}

// One row per plate count: the count, sheets and cost right-aligned, the
// mark of the choice, then the proof or why the count has no division.
void appendCostRows(std::string& out, const CostChoice& c) {
    std::vector<std::array<std::string, 5>> rows;
    rows.push_back({utf8(texts::CostColPlates), utf8(ct::SummarySheets), utf8(texts::CostColCost), "",
                    utf8(texts::CostColProof)});
    for (size_t i = 0; i < c.counts.size(); ++i) {
        const PlateCountCost& k = c.counts[i];
        if (!k.possible()) {
            rows.push_back({decimal(k.plates), "-", "-", "", costRefusalText(k.refusal)});
            continue;
        }
        rows.push_back({decimal(k.plates), decimal(k.sheets), amountText(k.cost),
                        c.chosen == i ? utf8(texts::CostCheapest) : "",
                        k.proven ? utf8(texts::CostProven) : utf8(texts::CostLowerBound) + decimal(k.lowerBound)});
    }
    std::array<size_t, 5> widths{};
    for (const auto& row : rows)
        for (size_t col = 0; col < row.size(); ++col) widths[col] = std::max(widths[col], displayWidth(row[col]));
    for (const auto& row : rows) {
        std::string line = padLeft(row[0], widths[0]) + "  " + padLeft(row[1], widths[1]) + "  " +
                           padLeft(row[2], widths[2]) + "  ";
        if (widths[3] > 0) line += padRight(row[3], widths[3]) + "  ";
        out += line + row[4] + "\n";
    }
}

// The rates, the table, the choice, then notes: counts cut off at the order's
// styles, counts whose costs rest on a division not proven best, and those
// whose lower bound could still take the choice.
void appendCostChoice(std::string& out, const Report& r) {
    const CostChoice& c = *r.costs;
    out += utf8(texts::CostHeadPrefix) + amountText(c.rates.plate) + utf8(texts::CostHeadMiddle) +
           amountText(c.rates.sheet) + "\n";
    appendCostRows(out, c);
    if (c.chosen) {
        const PlateCountCost& chosen = c.counts[*c.chosen];
        out += utf8(texts::CostChosenPrefix) + decimal(chosen.plates) + utf8(texts::CostChosenMiddle) +
               amountText(chosen.cost) + "\n";
    } else {
        out += utf8(texts::CostNoChoice) + "\n";
    }
    const auto styles = static_cast<int64_t>(r.quantities.size());
    if (styles > 0 && c.maxPlatesAsked > styles)
        out += utf8(texts::CostNote) + utf8(texts::CostCappedPrefix) + decimal(styles) +
               utf8(texts::CostCappedMiddle) + platesText(static_cast<int32_t>(styles)) + "\n";
    std::string unproven;
    for (const PlateCountCost& k : c.counts)
        if (k.possible() && !k.proven)
            unproven += (unproven.empty() ? "" : utf8(texts::CostListSeparator)) + platesText(k.plates);
    if (!unproven.empty()) out += utf8(texts::CostNote) + unproven + utf8(texts::CostUnprovenTail) + "\n";
    for (const PlateCountCost& k : c.counts)
        if (k.mayBeatChosen)
            out += utf8(texts::CostNote) + decimal(k.plates) + utf8(texts::CostMayBeatMiddle) +
                   amountText(k.lowerBoundCost) + utf8(texts::CostMayBeatTail) + "\n";
}

// --- JSON -------------------------------------------------------------------

std::string jsonRatio(double ratio) { return std::isfinite(ratio) ? rt::formatDouble(ratio) : "null"; }

class JsonObject {
public:
    explicit JsonObject(std::string indent) : indent_(std::move(indent)) {}
    void field(const char* name, const std::string& value) {
        text_ += (text_.empty() ? "" : ",\n") + indent_ + "\"" + name + "\": " + value;
    }
    const std::string& text() const { return text_; }

private:
    std::string indent_;
    std::string text_;
};

std::string stylesArray(const calc::PlateLayout& layout, std::span<const size_t> positions,
                        std::span<const int32_t> quantities, const std::string& indent, bool withPosition) {
    std::string out = "[";
    for (size_t i = 0; i < layout.slotsPerStyle.size() && i < quantities.size(); ++i) {
        out += (i ? ",\n" : "\n") + indent + "  {";
        if (withPosition) out += "\"position\": " + decimal(static_cast<int64_t>(positions[i]) + 1) + ", ";
        out += "\"quantity\": " + decimal(quantities[i]) + ", \"slots\": " + decimal(layout.slotsPerStyle[i]) +
               ", \"waste\": " + decimal(layout.wastePerStyle[i]) + "}";
    }
    return out + (out.size() == 1 ? "]" : "\n" + indent + "]");
}

// The summary figures of one layout, in the order of the result table.
void layoutFields(JsonObject& o, const calc::PlateLayout& l, size_t styles) {
    o.field("sheets", decimal(l.sheets));
    o.field("totalQuantity", decimal(l.totalQuantity));
    o.field("printedQuantity", decimal(l.printedQuantity));
    o.field("wasteQuantity", decimal(l.wasteQuantity));
    // An empty order has no ratio (0 / 0); JSON has no NaN.
    o.field("wasteRatio", jsonRatio(l.wasteRatio));
    o.field("styleCount", decimal(static_cast<int64_t>(styles)));
    o.field("remainingSlots", decimal(l.remainingSlots));
}

std::string plateObject(const ShownPlate& plate) {
    const calc::PlateLayout& l = plate.layout;
    JsonObject o("      ");
    layoutFields(o, l, plate.quantities.size());
    o.field("styles", stylesArray(l, plate.positions, plate.quantities, "      ", true));
    return "{\n" + o.text() + "\n    }";
}

std::string jsonBool(bool value) { return value ? "true" : "false"; }

const char* reasonName(Refusal refusal) {
    switch (refusal) {
        case Refusal::EmptyOrder: return "\"emptyOrder\"";
        case Refusal::FewerStylesThanPlates: return "\"fewerStylesThanPlates\"";
        case Refusal::MoreStylesThanSlots: return "\"moreStylesThanSlots\"";
        case Refusal::NotFound: return "\"notFound\"";
        case Refusal::None: break;
    }
    return "null";
}

// The cost choice's fields, after those of the layout or division it chose.
void costFields(JsonObject& o, const CostChoice& c) {
    o.field("plateCost", amountText(c.rates.plate));
    o.field("sheetCost", amountText(c.rates.sheet));
    o.field("chosenPlates", c.chosen ? decimal(c.counts[*c.chosen].plates) : "null");
    o.field("chosenCost", c.chosen ? amountText(c.counts[*c.chosen].cost) : "null");
    std::string counts = "[";
    for (size_t i = 0; i < c.counts.size(); ++i) {
        const PlateCountCost& k = c.counts[i];
        const bool possible = k.possible();
        auto figure = [&](const std::string& value) { return possible ? value : std::string("null"); };
        counts += (i ? ",\n" : "\n") + std::string("    {\"plates\": ") + decimal(k.plates) +
                  ", \"possible\": " + jsonBool(possible);
        if (!possible) counts += std::string(", \"reason\": ") + reasonName(k.refusal);
        counts += ", \"sheets\": " + figure(decimal(k.sheets)) + ", \"proven\": " + figure(jsonBool(k.proven)) +
                  ", \"lowerBound\": " + figure(decimal(k.lowerBound)) + ", \"cost\": " + figure(amountText(k.cost)) +
                  ", \"lowerBoundCost\": " + figure(amountText(k.lowerBoundCost)) +
                  ", \"mayBeatChosen\": " + jsonBool(k.mayBeatChosen) + "}";
    }
    counts += c.counts.empty() ? "]" : "\n  ]";
    o.field("plateCounts", counts);
}

std::string divisionJson(const Report& r) {
    const ShownDivision& d = *r.division;
    const bool ok = d.refusal == Refusal::None;
    const Totals t = totalsOf(r);
    JsonObject o("  ");
    o.field("ok", ok ? "true" : "false");
    if (!ok) o.field("reason", reasonName(d.refusal));
    o.field("plateCount", decimal(d.plateCount));
    o.field("sheets", decimal(d.sheets));
    o.field("totalQuantity", decimal(t.total));
    o.field("printedQuantity", decimal(ok ? t.printed : 0));
    o.field("wasteQuantity", decimal(ok ? t.waste : 0));
    o.field("wasteRatio", ok ? rt::formatDouble(t.ratio) : "null");
    o.field("styleCount", decimal(static_cast<int64_t>(r.quantities.size())));
    o.field("dropped", decimal(r.dropped));
    o.field("onePlateSheets", r.onePlate.ok && !r.quantities.empty() ? decimal(r.onePlate.sheets) : "null");
    if (d.proven && ok) {
        o.field("optimal", d.optimal ? "true" : "false");
        o.field("lowerBound", decimal(d.lowerBound));
        o.field("gap", decimal(d.sheets - d.lowerBound));
    }
    if (r.search) {
        o.field("searchSheets", r.search->found ? decimal(r.search->sheets) : "null");
        o.field("searchTrials", decimal(r.search->trialsRun));
        o.field("seed", std::to_string(r.search->seed));
        o.field("searchTimedOut", r.search->timedOut ? "true" : "false");
        if (comparesWithSearch(r)) o.field("savedOverSearch", decimal(r.search->sheets - d.sheets));
    }
    std::string plates = "[";
    for (size_t p = 0; p < d.plates.size(); ++p) plates += (p ? ",\n    " : "\n    ") + plateObject(d.plates[p]);
    plates += d.plates.empty() ? "]" : "\n  ]";
    o.field("plates", plates);
    if (r.costs) costFields(o, *r.costs);
    return "{\n" + o.text() + "\n}\n";
}

}  // namespace

std::string terminalText(std::string_view gbk) {
    std::string text = utf8(gbk), out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

Refusal refusalFor(size_t styles, int32_t ups, int64_t plates) {
    if (styles == 0) return Refusal::EmptyOrder;
    if (styles < static_cast<uint64_t>(plates)) return Refusal::FewerStylesThanPlates;
    if (ups < 1 || styles > static_cast<uint64_t>(plates) * static_cast<uint64_t>(ups))
        return Refusal::MoreStylesThanSlots;
    return Refusal::None;
}

ShownDivision shownDivision(const calc::Division& division, int32_t plates, std::span<const int32_t> quantities) {
    ShownDivision d;
    d.plateCount = plates;
    d.proven = true;
    if (!division.ok) {
        d.refusal = Refusal::NotFound;
        return d;
    }
    d.optimal = division.optimal;
    d.sheets = division.sheets;
    d.lowerBound = division.lowerBound;
    for (const calc::PlateGroup& g : division.plates) {
        ShownPlate p;
        p.positions = g.styles;
        for (size_t i : g.styles) p.quantities.push_back(quantities[i]);
        p.layout = g.layout;
        d.plates.push_back(std::move(p));
    }
    return d;
}

ShownDivision shownCut(const calc::Cut& cut, std::span<const int32_t> quantities, int32_t ups) {
    ShownDivision d;
    d.plateCount = 2;
    if (!cut.found) {
        d.refusal = Refusal::NotFound;
        return d;
    }
    // Equal quantities are interchangeable; each part takes the earliest
    // positions of its quantities that the other part has not taken.
    std::map<int32_t, std::vector<size_t>> free;
    for (size_t i = quantities.size(); i-- > 0;) free[quantities[i]].push_back(i);
    for (const std::vector<int32_t>* part : {&cut.first, &cut.second}) {
        ShownPlate p;
        for (int32_t q : *part) {
            std::vector<size_t>& at = free[q];
            if (at.empty()) continue;  // not a quantity of this order; cannot happen
            p.positions.push_back(at.back());
            at.pop_back();
        }
        std::sort(p.positions.begin(), p.positions.end());
        for (size_t i : p.positions) p.quantities.push_back(quantities[i]);
        p.layout = calc::layoutOnePlate(p.quantities, ups);
        d.sheets += p.layout.sheets;
        d.plates.push_back(std::move(p));
    }
    return d;
}

bool laidOut(const Report& r) {
    if (r.costs) return r.costs->chosen.has_value();
    if (r.division) return r.division->refusal == Refusal::None;
    return r.onePlate.ok && !r.quantities.empty();
}

std::string tableText(const Report& r) {
    std::string out;
    appendOnePlate(out, r);
    if (r.costs) {
        out += "\n";
        appendCostChoice(out, r);
    }
    if (r.division) {
        out += "\n";
        appendDivision(out, r);
        out += "\n";
    } else if (r.costs || (r.onePlate.ok && !r.quantities.empty())) {
        out += "\n";
    }
    appendDropped(out, r.dropped);
    return out;
}

std::string jsonText(const Report& r) {
    if (r.division) return divisionJson(r);
    const calc::PlateLayout& layout = r.onePlate;
    JsonObject o("  ");
    o.field("ok", laidOut(r) ? "true" : "false");
    layoutFields(o, layout, r.quantities.size());
    o.field("dropped", decimal(r.dropped));
    o.field("styles", stylesArray(layout, {}, r.quantities, "  ", false));
    if (r.costs) costFields(o, *r.costs);
    return "{\n" + o.text() + "\n}\n";
}

}  // namespace cli
