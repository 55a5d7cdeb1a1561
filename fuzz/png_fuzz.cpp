// libFuzzer target for the PNG decoder core, with two differential checks on inputs that both
// sides accept: the inflated image data against zlib, and the whole decode against the DIB
// made from libpng's samples (CRCs and Adler-32 ignored on both sides). A mismatch aborts.
#include "picture/png.h"
#include "picture/tests/png_reference.h"
#include "picture/tests/png_test_decode.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Headers may claim images up to the decoder's limits; inflating those for every input would
// make the fuzzer crawl, and small images reach every path.
constexpr uint32_t FUZZ_MAX_IMAGE_BYTES = 1u << 22;

void mismatch(const char* what, size_t at)
{
    fprintf(stderr, "png_fuzz: %s differs (at %zu)\n", what, at);
    abort();
}

void compare_with_libpng(const uint8_t* data, size_t size, const PngDecoded& d)
{
    PngReference ref;
    if (!png_reference_decode(data, size, &ref, FUZZ_MAX_IMAGE_BYTES)) return;
    if (d.state.width != ref.width || d.state.height != ref.height) mismatch("size", 0);
    if (d.format.bit_count != ref.bit_count || d.format.stride != ref.stride) mismatch("format", 0);
    if (d.format.colours_used != ref.colours_used) mismatch("colours used", 0);
    if (!ref.colour_table.empty() && memcmp(d.format.colour_table, ref.colour_table.data(), ref.colour_table.size()))
        mismatch("colour table", 0);
    if (d.pixels.size() != ref.pixels.size()) mismatch("DIB size", 0);
    for (size_t i = 0; i < d.pixels.size(); i++)
        if (d.pixels[i] != ref.pixels[i]) mismatch("pixels", i);
}

// The data of the IDAT run the decoder reads: the first IDAT chunk and those right after it.
std::vector<uint8_t> idat_run(const PngDecoderState& s)
{
    std::vector<uint8_t> stream;
    if (!s.first_data) return stream;
    size_t at = (size_t)(s.first_data - s.source);
    while (s.source_size - at >= 12) {
        const uint8_t* c = s.source + at;
        const size_t length = (size_t)c[0] << 24 | c[1] << 16 | c[2] << 8 | c[3];
        if (length > s.source_size - at - 12 || memcmp(c + 4, "IDAT", 4) != 0) break;
        stream.insert(stream.end(), c + 8, c + 8 + length);
        at += 12 + length;
    }
    return stream;
}

// Whatever zlib inflates completely (as raw DEFLATE after a header this decoder accepts, so
// that a broken Adler-32 does not hide the data) this inflater must inflate to the same bytes.
void compare_with_zlib(const PngDecoderState& s, bool inflated)
{
    const std::vector<uint8_t> stream = idat_run(s);
    if (stream.size() < 2 || (stream[0] & 15) != 8 || (stream[0] >> 4) > 7 || (stream[1] & 0x20)) return;
    std::vector<uint8_t> theirs(s.image_size + 1);
    z_stream z = {};
    if (inflateInit2(&z, -15) != Z_OK) return;
    z.next_in = (Bytef*)stream.data() + 2;
    z.avail_in = (uInt)stream.size() - 2;
    z.next_out = theirs.data();
    z.avail_out = s.image_size;
    const int status = inflate(&z, Z_FINISH);
    const size_t written = s.image_size - z.avail_out;
    inflateEnd(&z);
    if (status != Z_STREAM_END) return;
    if (!inflated) mismatch("inflate status", (size_t)s.error);
    if (memcmp(s.image, theirs.data(), written)) mismatch("inflated data", 0);
    for (size_t i = written; i < s.image_size; i++)
        if (s.image[i]) mismatch("zero fill after a short stream", i);
}

void decode_png(const uint8_t* data, size_t size)
{
    PngDecoderState s;
    png_reset(&s);
    if (png_open_memory(&s, data, (uint32_t)size) && s.image_size <= FUZZ_MAX_IMAGE_BYTES) {
        const bool inflated = png_inflate_image(&s);
        compare_with_zlib(s, inflated);
        PngDecoded d;
        d.state = s;
        if (inflated && png_dib_format(&s, &d.format)) {
            d.pixels.assign(d.format.size, 0xAA);
            if (png_write_dib_pixels(&s, &d.format, d.pixels.data())) compare_with_libpng(data, size, d);
        }
    }
    png_free(&s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xffffffffu) return 0;
    decode_png(data, size);
    return 0;
}
