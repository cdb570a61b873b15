// Throughput of the engine on mail-like text and on shapes that defeat naive
// remainder copying. Reports bytes of UTF-16 input per second.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

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
    const char16_t* words[] = {u"the", u"mail", u"answer", u"quoted", u"re-wrapping", u"a",
                               u"https://example.org/some/long/path?query=1", u"Gr\u00FC\u00DFe"};
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

void Run(benchmark::State& state, const std::u16string& text) {
    for (auto _ : state) {
        std::u16string out = RewrapMail(text);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}

void BM_MailLike(benchmark::State& state) {
    static const std::u16string text = MailLike(Size);
    Run(state, text);
}
void BM_OneLineOfWords(benchmark::State& state) {
    static const std::u16string text = Repeated(u"word ", Size);
    Run(state, text);
}
void BM_OneRunWithoutSpace(benchmark::State& state) {
    static const std::u16string text = Repeated(u"x", Size);
    Run(state, text);
}
void BM_QuoteCharactersOnly(benchmark::State& state) {
    static const std::u16string text = Repeated(u"> ", Size);
    Run(state, text);
}
void BM_PrefixLongerThanLimit(benchmark::State& state) {
    static const std::u16string text = Repeated(u">", 2000) + Repeated(u"word ", Size);
    Run(state, text);
}
void BM_OnlyCRs(benchmark::State& state) {
    static const std::u16string text = Repeated(u"\r", Size);
    Run(state, text);
}
void BM_CRsInsideOneLine(benchmark::State& state) {
    static const std::u16string text = Repeated(u"\r", Size) + u"x";
    Run(state, text);
}

} // namespace

BENCHMARK(BM_MailLike)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneLineOfWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneRunWithoutSpace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuoteCharactersOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrefixLongerThanLimit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnlyCRs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CRsInsideOneLine)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
