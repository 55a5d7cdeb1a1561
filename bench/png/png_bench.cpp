// The PNG decoder against libpng, libspng and stb_image over the generated corpus, and its bare
// inflate against zlib and libdeflate. Each library is asked for the output closest to a DIB:
// libpng with BGR order and 16-bit stripped, no expansion; libspng in the file's own format;
// stb_image in the file's channel count at 8 bits. Prints the time ratios at the end.
#include "picture/png.h"

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <stb/stb_image.h>
#include <zlib.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct CorpusFile {
    std::string name;
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> zlib;  // the IDAT data joined
    uint32_t filtered_size;      // inflated bytes, filter bytes included
    uint64_t unfiltered_size;    // bytes of samples
};

std::vector<CorpusFile> corpus;
uint64_t corpus_unfiltered = 0, corpus_filtered = 0;

std::vector<uint8_t> read_all(const std::string& path)
{
    std::vector<uint8_t> out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    fclose(f);
    return out;
}

std::vector<uint8_t> join_idat(const std::vector<uint8_t>& png)
{
    std::vector<uint8_t> out;
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = (size_t)png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (at + 12 + length > png.size()) break;
        if (memcmp(&png[at + 4], "IDAT", 4) == 0) out.insert(out.end(), &png[at + 8], &png[at + 8] + length);
        at += 12 + length;
    }
    return out;
}

bool load_corpus(const char* dir)
{
    DIR* d = opendir(dir);
    if (!d) return false;
    std::vector<std::string> names;
    while (const dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".png") == 0) names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        CorpusFile f;
        f.name = n;
        f.bytes = read_all(std::string(dir) + "/" + n);
        f.zlib = join_idat(f.bytes);
        PngDecoderState s;
        png_reset(&s);
        if (!png_open_memory(&s, f.bytes.data(), (uint32_t)f.bytes.size())) return false;
        f.filtered_size = s.image_size;
        const uint32_t channels[7] = {1, 0, 3, 1, 2, 0, 4};
        f.unfiltered_size = (uint64_t)s.width * s.height * channels[s.colour_type] * s.bit_depth / 8;
        png_free(&s);
        corpus_unfiltered += f.unfiltered_size;
        corpus_filtered += f.filtered_size;
        corpus.push_back(std::move(f));
    }
    return !corpus.empty();
}

void set_counters(benchmark::State& state)
{
    state.SetBytesProcessed((int64_t)(state.iterations() * corpus_unfiltered));
}

// ---- whole decoders

void BM_vorlo(benchmark::State& state)
{
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            PngDecoderState s;
            png_reset(&s);
            PngDibFormat format;
            if (!png_open_memory(&s, f.bytes.data(), (uint32_t)f.bytes.size()) || !png_inflate_image(&s) ||
                !png_dib_format(&s, &format))
                state.SkipWithError("vorlo failed");
            pixels.resize(format.size);
            if (!png_write_dib_pixels(&s, &format, pixels.data())) state.SkipWithError("vorlo pixels failed");
            benchmark::DoNotOptimize(pixels.data());
            png_free(&s);
        }
    }
    set_counters(state);
}

struct MemoryReader {
    const uint8_t* data;
    size_t size, at;
};

void libpng_read(png_structp png, png_bytep out, png_size_t n)
{
    MemoryReader* r = (MemoryReader*)png_get_io_ptr(png);
    if (n > r->size - r->at) png_error(png, "eof");
    memcpy(out, r->data + r->at, n);
    r->at += n;
}

bool libpng_decode(const CorpusFile& f, std::vector<uint8_t>* pixels, std::vector<png_bytep>* rows)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader = {f.bytes.data(), f.bytes.size(), 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, libpng_read);
    png_read_info(png, info);
    png_set_bgr(png);
    png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t row_bytes = png_get_rowbytes(png, info);
    const uint32_t h = png_get_image_height(png, info);
    pixels->resize(row_bytes * h);
    rows->resize(h);
    for (uint32_t y = 0; y < h; y++) (*rows)[y] = pixels->data() + row_bytes * y;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

void BM_libpng(benchmark::State& state)
{
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            if (!libpng_decode(f, &pixels, &rows)) state.SkipWithError("libpng failed");
            benchmark::DoNotOptimize(pixels.data());
        }
    }
    set_counters(state);
}

void BM_spng(benchmark::State& state)
{
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            spng_ctx* ctx = spng_ctx_new(0);
            spng_set_png_buffer(ctx, f.bytes.data(), f.bytes.size());
            size_t size = 0;
            if (spng_decoded_image_size(ctx, SPNG_FMT_PNG, &size)) state.SkipWithError("spng size failed");
            pixels.resize(size);
            if (spng_decode_image(ctx, pixels.data(), size, SPNG_FMT_PNG, 0)) state.SkipWithError("spng failed");
            benchmark::DoNotOptimize(pixels.data());
            spng_ctx_free(ctx);
        }
    }
    set_counters(state);
}

void BM_stb(benchmark::State& state)
{
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            int w, h, n;
            stbi_uc* p = stbi_load_from_memory(f.bytes.data(), (int)f.bytes.size(), &w, &h, &n, 0);
            if (!p) state.SkipWithError("stb failed");
            benchmark::DoNotOptimize(p);
            stbi_image_free(p);
        }
    }
    set_counters(state);
}

// ---- bare inflate

void BM_vorlo_inflate(benchmark::State& state)
{
    std::vector<uint8_t> out;
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            out.resize(f.filtered_size);
            uint32_t written = 0;
            if (png_inflate_zlib(f.zlib.data(), (uint32_t)f.zlib.size(), out.data(), f.filtered_size, &written) ||
                written != f.filtered_size)
                state.SkipWithError("vorlo inflate failed");
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * corpus_filtered));
}

void BM_zlib_inflate(benchmark::State& state)
{
    std::vector<uint8_t> out;
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            out.resize(f.filtered_size);
            uLongf size = f.filtered_size;
            if (uncompress(out.data(), &size, f.zlib.data(), f.zlib.size()) != Z_OK || size != f.filtered_size)
                state.SkipWithError("zlib failed");
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * corpus_filtered));
}

void BM_libdeflate_inflate(benchmark::State& state)
{
    std::vector<uint8_t> out;
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        for (const CorpusFile& f : corpus) {
            out.resize(f.filtered_size);
            size_t size = 0;
            if (libdeflate_zlib_decompress(d, f.zlib.data(), f.zlib.size(), out.data(), f.filtered_size, &size) !=
                    LIBDEFLATE_SUCCESS ||
                size != f.filtered_size)
                state.SkipWithError("libdeflate failed");
            benchmark::DoNotOptimize(out.data());
        }
    }
    libdeflate_free_decompressor(d);
    state.SetBytesProcessed((int64_t)(state.iterations() * corpus_filtered));
}

double min_of(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_vorlo)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();
BENCHMARK(BM_libpng)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();
BENCHMARK(BM_spng)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();
BENCHMARK(BM_stb)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();
BENCHMARK(BM_vorlo_inflate)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();
BENCHMARK(BM_zlib_inflate)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();
BENCHMARK(BM_libdeflate_inflate)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", min_of)->ReportAggregatesOnly();

// Keeps the best CPU time per corpus of each benchmark over its repetitions for the ratio
// table: the machine is shared, and the minimum is the run least disturbed by others.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min" && !r.error_occurred)
                ms[r.run_name.function_name] = r.GetAdjustedCPUTime();  // in the benchmark's unit, ms
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void print_ratios(const RatioReporter& r)
{
    auto get = [&](const char* n) {
        auto it = r.ms.find(n);
        return it == r.ms.end() ? 0.0 : it->second;
    };
    printf("\nCorpus: %zu files, %.1f MB of samples (%.1f MB inflated with filter bytes)\n", corpus.size(),
           corpus_unfiltered / 1e6, corpus_filtered / 1e6);
    printf("| decoder | ms per corpus | MB/s of samples | vorlo / this |\n|---|---|---|---|\n");
    const double v = get("BM_vorlo");
    for (const char* n : {"BM_vorlo", "BM_libpng", "BM_spng", "BM_stb"})
        if (get(n) > 0)
            printf("| %s | %.1f | %.0f | %.2f |\n", n + 3, get(n), corpus_unfiltered / 1e3 / get(n), v / get(n));
    printf("\n| inflate | ms per corpus | MB/s inflated | vorlo / this |\n|---|---|---|---|\n");
    const double vi = get("BM_vorlo_inflate");
    for (const char* n : {"BM_vorlo_inflate", "BM_zlib_inflate", "BM_libdeflate_inflate"})
        if (get(n) > 0)
            printf("| %s | %.1f | %.0f | %.2f |\n", n + 3, get(n), corpus_filtered / 1e3 / get(n), vi / get(n));
}

}  // namespace

int main(int argc, char** argv)
{
    const char* dir = getenv("VORLO_PNG_CORPUS") ? getenv("VORLO_PNG_CORPUS") : PNG_CORPUS_DIR;
    if (!load_corpus(dir)) {
        fprintf(stderr, "png_bench: no corpus in %s (build the png_corpus target)\n", dir);
        return 1;
    }
    // Five repetitions unless asked otherwise; the table takes the best of them.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    bool has_repetitions = false;
    for (char* a : args) has_repetitions |= strncmp(a, "--benchmark_repetitions", 23) == 0;
    if (!has_repetitions) args.push_back(repetitions);
    argc = (int)args.size();
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_ratios(reporter);
    benchmark::Shutdown();
    return 0;
}
