// Throughput of the engine on mail-like text and on shapes that defeat naive
// remainder copying, in UTF-16 and in UTF-8.
#include <benchmark/benchmark.h>
#include <random>
#include <string>

#include "cli/Utf.h"
#include "rewrap/RewrapMail.h"

namespace {

constexpr size_t Size = 8u << 20; // code units

std::u16string Repeated(std::u16string_view unit, size_t size) {
    std::u16string s;
    s.reserve(size + unit.size());
    while (s.size() < size) s += unit;
    return s;
}

std::u16string MailLike(size_t size) {
    std::mt19937 random(7);
    const char16_t* words[] = {u"the",
                               u"mail",
                               u"answer",
                               u"quoted",
                               u"re-wrapping",
                               u"a",
                               u"https://example.org/some/long/path?query=1",
                               u"Gr\u00FC\u00DFe"};
    const char16_t* prefixes[] = {u"", u"", u"> ", u">> ", u"> > "};
    std::u16string s;
    while (s.size() < size) {
        const char16_t* prefix = prefixes[random() % 5];
        s += prefix;
        const size_t len = 20 + random() % 400; // long paragraphs as single lines
        for (size_t n = 0; n < len; n += 6) {
            s += words[random() % 8];
            s += u' ';
        }
        s += random() % 3 ? u"\r\n" : u"\n";
    }
    return s;
}

void RunUtf16(benchmark::State& state, const std::u16string* text) {
    for (auto _ : state) {
        std::u16string out = RewrapMail(*text);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size() * 2));
}

// As the filter runs it: the result leaves in chunks, here for nowhere.
bool Discard(void* context) {
    auto& out = *static_cast<std::string*>(context);
    benchmark::DoNotOptimize(out.data());
    out.clear();
    return true;
}

void RunUtf8(benchmark::State& state, const std::string* text) {
    std::string out;
    const WrapSink sink{256 << 10, Discard, &out};
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(AppendRewrappedUtf8Mail(out, *text, WrapWidth, "\r\n", &sink));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

struct Shape {
    const char* name;
    std::u16string text;
};

// Each shape in UTF-16, as the window has it (bytes of UTF-16 a second), and
// in UTF-8, as the filter has it (bytes of UTF-8 a second).
bool RegisterShapes() {
    static const Shape shapes[] = {
        {"MailLike", MailLike(Size)},
        {"OneLineOfWords", Repeated(u"word ", Size)},
        {"OneRunWithoutSpace", Repeated(u"x", Size)},
        {"QuoteCharactersOnly", Repeated(u"> ", Size)},
        {"PrefixLongerThanLimit", Repeated(u">", 2000) + Repeated(u"word ", Size)},
        {"OnlyCRs", Repeated(u"\r", Size)},
        {"CRsInsideOneLine", Repeated(u"\r", Size) + u"x"},
    };
    static std::string utf8[std::size(shapes)];
    for (size_t i = 0; i < std::size(shapes); ++i) {
        utf8[i] = Utf16ToUtf8String(shapes[i].text);
        benchmark::RegisterBenchmark((std::string(shapes[i].name) + "/utf16").c_str(), RunUtf16,
                                     &shapes[i].text)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(shapes[i].name) + "/utf8").c_str(), RunUtf8,
                                     &utf8[i])
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}

const bool ShapesRegistered = RegisterShapes();

} // namespace

BENCHMARK_MAIN();
