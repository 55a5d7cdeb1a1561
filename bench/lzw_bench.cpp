// Decoding a full-size quiz stream (120000 bytes of text-like output) and encoding it.
#include "pack/lzw_encode.h"
#include "quiz/lzw.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Words of a French quiz in Windows-1252, strung into questions, answers and codes.
std::vector<uint8_t> quiz_like_text(size_t len)
{
    std::istringstream source(
        "Dans quelle ville se trouve le mus\xE9" "e du Louvre ? Quel \xE9" "crivain a \xE9" "crit Les "
        "Mis\xE9rables ? En quelle ann\xE9" "e la R\xE9volution fran\xE7" "aise a-t-elle commenc\xE9" "e ? "
        "Quel fleuve traverse Lyon ? Qui a peint La Libert\xE9 guidant le peuple ? Combien de "
        "r\xE9gions compte la France m\xE9tropolitaine ? Quelle for\xEA" "t est la plus grande "
        "d'\xCE" "le-de-France ? Quel compositeur a \xE9" "crit le Bol\xE9ro ? O\xF9 se d\xE9roule "
        "le festival d'Avignon ? Quelle est la capitale de la Bretagne ? R\xE9ponse Paris Victor "
        "Hugo Delacroix Rh\xF4ne Sa\xF4ne Ravel Rennes Fontainebleau mille sept cent quatre-vingt-neuf");
    std::vector<std::string> words;
    for (std::string word; source >> word;)
        words.push_back(word);
    std::mt19937 rng(1);
    std::string text;
    while (text.size() < len)
        text += words[rng() % words.size()] + (rng() % 9 == 0 ? "|" : " ");
    return std::vector<uint8_t>(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(len));
}

const std::vector<uint8_t>& plain_text()
{
    static const std::vector<uint8_t> text = quiz_like_text(LZW_OUTPUT_CAPACITY);
    return text;
}

void BM_lzw_decode(benchmark::State& state)
{
    const std::vector<uint8_t> stream = lzw_encode(plain_text().data(), plain_text().size());
    for (auto _ : state) {
        uint8_t* out = nullptr;
        int32_t out_len = 0;
        const int status = lzw_decode(stream.data(), static_cast<int32_t>(stream.size()), &out, &out_len);
        if (status != LZW_OK || out_len != LZW_OUTPUT_CAPACITY + 2)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    state.SetBytesProcessed(state.iterations() * LZW_OUTPUT_CAPACITY);
    state.counters["stream_bytes"] = static_cast<double>(stream.size());
}
BENCHMARK(BM_lzw_decode)->Unit(benchmark::kMicrosecond);

void BM_lzw_encode(benchmark::State& state)
{
    const std::vector<uint8_t>& text = plain_text();
    for (auto _ : state) {
        std::vector<uint8_t> stream = lzw_encode(text.data(), text.size());
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_lzw_encode)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
