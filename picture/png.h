// PNG decoder core: PNG bytes in memory to the pixels of a top-down DIB. No platform headers;
// the Win32 side (resources, the DIB section) is picture/png_win32.h.
//
// Calling order: png_reset, open (png_open_memory here, png_open_resource on Windows),
// png_inflate_image, then png_dib_format + png_write_dib_pixels (png_make_dib on Windows, as
// often as wanted), and png_free on every path once an open has been tried.
// Every operation returns TRUE (1) or FALSE (0) and keeps the cause in PngDecoderState::error.
#pragma once

#include <cstdint>

// Error codes kept in PngDecoderState::error.
enum : int32_t {
    PNG_ERROR_NONE = 0,
    PNG_ERROR_NO_MEMORY = 0x1001,       // the image buffer or a row buffer could not be allocated
    PNG_ERROR_BUSY = 0x1002,            // open called on a state that has a source or a stage
    PNG_ERROR_CORRUPT = 0x2000,         // not a PNG, or broken chunk, zlib, DEFLATE or filter data
    PNG_ERROR_UNSUPPORTED = 0x2001,     // illegal format pair, method, critical chunk, or too large
    PNG_ERROR_STAGE = 0x2003,           // operation called in the wrong stage
    PNG_ERROR_BITMAP = 0x2006,          // the DIB section could not be created
    PNG_ERROR_NO_RESOURCE = 0x3001,     // no RT_RCDATA resource with that identifier
    PNG_ERROR_RESOURCE_EMPTY = 0x3002,  // the resource cannot be loaded or holds no byte
};

enum : int32_t {
    PNG_STAGE_EMPTY = 0,
    PNG_STAGE_HEADER = 1,    // header and chunk list read
    PNG_STAGE_INFLATED = 2,  // image buffer holds the filtered image data
};

// Borrowed bytes (resource data or a caller's buffer): the decoder never frees them.
enum : int32_t { PNG_SOURCE_NONE = 0, PNG_SOURCE_BORROWED = 2 };

// Largest DIB accepted: 64 MiB is 16 Mpixel at 32 bits, far beyond any picture a quiz shows in
// an 800 x 600 window, and small enough to sit in a 32-bit process beside the filtered data.
constexpr uint32_t PNG_MAX_DIB_BYTES = 64u << 20;
// Largest filtered image accepted: twice the DIB limit, as 16-bit RGBA takes twice the bytes of
// its 32-bit DIB (the filter bytes push the very largest of those just over).
constexpr uint32_t PNG_MAX_IMAGE_BYTES = 128u << 20;

// One decode. All fields are zero after png_reset and png_free.
struct PngDecoderState {
    uint32_t width;               // pixels, from IHDR
    uint32_t height;              // pixels, from IHDR
    int32_t error;                // PNG_ERROR_* of the last failure
    uint32_t palette_count;       // PLTE length / 3
    uint8_t colour_type;          // 0, 2, 3, 4 or 6
    uint8_t bit_depth;            // 1, 2, 4, 8 or 16
    uint8_t interlace;            // 0 none, 1 Adam7
    const uint8_t* source;        // first byte of the PNG data
    uint32_t source_size;         // bytes at source
    const uint8_t* position;      // chunk being examined by the walk
    uint8_t* image;               // inflated, still filtered image data (malloc), stage 2 only
    uint32_t image_size;          // bytes of filtered data the header prescribes
    const uint8_t* palette;       // data of the first PLTE chunk, or null
    int32_t source_kind;          // PNG_SOURCE_*
    const uint8_t* header;        // data of the IHDR chunk
    const uint8_t* first_data;    // first IDAT chunk (its length field), or null
    int32_t stage;                // PNG_STAGE_*
};

// How the decoded image is laid out as a DIB: the caller builds its BITMAPINFO from this.
struct PngDibFormat {
    uint32_t bit_count;              // 1, 4, 8, 24 or 32
    uint32_t stride;                 // bytes per DIB row, a multiple of 4
    uint32_t size;                   // stride * height
    uint32_t colours_used;           // biClrUsed: grey ramp length, 0 for palette and RGB
    uint32_t table_entries;          // entries of colour_table that are filled in
    uint8_t colour_table[256][4];    // blue, green, red, 0; unused entries are zero
};

void png_reset(PngDecoderState* state);

// Opens PNG bytes that stay valid until png_free. Reads the signature, IHDR and the chunk list.
int png_open_memory(PngDecoderState* state, const void* data, uint32_t size);

// Inflates the image data into a newly allocated buffer of image_size bytes.
int png_inflate_image(PngDecoderState* state);

// Describes the DIB (stage 2).
int png_dib_format(PngDecoderState* state, PngDibFormat* format);

// Unfilters and converts the image into pixels, format->size bytes of top-down DIB rows
// (stage 2). On failure the pixels are partly written.
int png_write_dib_pixels(PngDecoderState* state, const PngDibFormat* format, uint8_t* pixels);

// Frees the image buffer and clears the record. The source is not freed.
void png_free(PngDecoderState* state);

// Bare zlib inflate of one contiguous stream into out, whole buffer only (the output is the
// window). Returns PNG_ERROR_NONE or PNG_ERROR_CORRUPT; *written gets the bytes produced.
// The image decoder uses the same machinery over the IDAT chunks; this entry exists for
// benchmarks and tests of the inflater alone.
int32_t png_inflate_zlib(const uint8_t* in, uint32_t in_size, uint8_t* out, uint32_t out_size,
                         uint32_t* written);
