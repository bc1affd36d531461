// Speed of the XML reader on the shapes a hostile update document could take:
// one start tag with tens of thousands of attributes, and a long text broken
// up by declarations. Each is timed next to a document of the same byte size
// that the reader handles in one plain pass (many child elements, one
// unbroken text), in the same run; a ratio that stays flat as the size grows
// shows the cost is linear.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "net/XmlTree.h"

namespace {

using Clock = std::chrono::steady_clock;

// "<r a00000="1" a00001="1" ... />": every name distinct, 11 bytes each.
std::string manyAttributes(int count) {
    std::string doc = "<r";
    char attribute[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(attribute, sizeof attribute, " a%05d=\"1\"", i);
        doc += attribute;
    }
    return doc + "/>";
}

// "<r><a00000  /><a00001  />...</r>": the same 11 bytes per item, as
// self-closing children.
std::string manyChildren(int count) {
    std::string doc = "<r>";
    char child[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(child, sizeof child, "<a%05d  />", i);
        doc += child;
    }
    return doc + "</r>";
}

// One element whose text is `pieces` runs of 7 bytes, each followed by an
// empty declaration: the text is put together run by run.
std::string textBetweenDeclarations(int pieces) {
    std::string doc = "<r>";
    for (int i = 0; i < pieces; ++i) doc += "abcdefg<!>";
    return doc + "</r>";
}

// A text of the same size in one run.
std::string plainText(int pieces) { return "<r>" + std::string(size_t(pieces) * 10, 'a') + "</r>"; }

double millisecondsToParse(const std::string& doc, benchmark::State& state) {
    auto start = Clock::now();
    xml::XmlParseResult parsed = xml::parseXml(doc);
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!parsed.ok()) state.SkipWithError("document did not load");
    return ms;
}

// Times both documents in each iteration and keeps the best of each, so that
// an interrupt does not count.
template <typename Make, typename MakeReference>
void compareToReference(benchmark::State& state, Make make, MakeReference makeReference) {
    const int count = static_cast<int>(state.range(0));
    const std::string doc = make(count);
    const std::string reference = makeReference(count);
    double best = 1e300;
    double referenceBest = 1e300;
    for (auto _ : state) {
        best = std::min(best, millisecondsToParse(doc, state));
        referenceBest = std::min(referenceBest, millisecondsToParse(reference, state));
    }
    state.counters["bytes"] = double(doc.size());
    state.counters["reference_bytes"] = double(reference.size());
    state.counters["ms"] = best;
    state.counters["reference_ms"] = referenceBest;
    state.counters["ratio"] = best / referenceBest;
}

void BM_XmlAttributesAgainstChildren(benchmark::State& state) {
    compareToReference(state, manyAttributes, manyChildren);
}
BENCHMARK(BM_XmlAttributesAgainstChildren)->Arg(15000)->Arg(60000)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_XmlTextBetweenDeclarationsAgainstPlainText(benchmark::State& state) {
    compareToReference(state, textBetweenDeclarations, plainText);
}
BENCHMARK(BM_XmlTextBetweenDeclarationsAgainstPlainText)
    ->Arg(100000)
    ->Arg(400000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
