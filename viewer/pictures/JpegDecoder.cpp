#include "PictureDecoders.h"

#include "JpegStreamSource.h"

#include <csetjmp>
#include <new>

namespace
{
// The library's standard error manager ends the program on a fatal error; ours jumps back into
// the decoder, which releases everything and reports the picture as unreadable.
struct JpegErrorManager
{
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};

void ExitByJump(j_common_ptr decompressor)
{
    std::longjmp(reinterpret_cast<JpegErrorManager*>(decompressor->err)->jump, 1);
}

void KeepQuiet(j_common_ptr)
{
}

bool IsSupportedOutput(const jpeg_decompress_struct& decompressor)
{
    return (decompressor.out_color_space == JCS_GRAYSCALE && decompressor.out_color_components == 1) ||
           (decompressor.out_color_space == JCS_RGB && decompressor.out_color_components == 3);
}

// Everything the library touches lives here, so that nothing with a destructor sits between the
// jump target and the jump.
struct JpegDecoding
{
    jpeg_decompress_struct decompressor;
    JpegErrorManager errors;
    JpegStreamSource source;
};

int Decode(JpegDecoding& state, IStream* stream, CRasterBitmap& bitmap, int alphaFlag)
{
    jpeg_decompress_struct& decompressor = state.decompressor;
    decompressor.err = jpeg_std_error(&state.errors.standard);
    state.errors.standard.error_exit = ExitByJump;
    state.errors.standard.output_message = KeepQuiet;
    if (setjmp(state.errors.jump))
    {
        jpeg_destroy_decompress(&decompressor);
        bitmap.Free();
        return -1;
    }
    jpeg_create_decompress(&decompressor);
    state.source.Attach(&decompressor, stream);
    jpeg_read_header(&decompressor, TRUE);
    jpeg_calc_output_dimensions(&decompressor);
    if (!IsSupportedOutput(decompressor) || decompressor.output_width > 0x7FFFFFFF ||
        decompressor.output_height > 0x7FFFFFFF)
    {
        jpeg_destroy_decompress(&decompressor);
        return -1;
    }
    jpeg_start_decompress(&decompressor);
    const int width = int(decompressor.output_width);
    const int components = decompressor.output_components;
    if (!IsSupportedOutput(decompressor) ||
        bitmap.Create(width, int(decompressor.output_height), 32, alphaFlag, CRasterBitmap::TopDown) != 0)
    {
        jpeg_destroy_decompress(&decompressor);
        return -1;
    }
    JSAMPARRAY line = (*decompressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decompressor), JPOOL_IMAGE,
                                                      JDIMENSION(width * components), 1);
    while (decompressor.output_scanline < decompressor.output_height)
    {
        const int y = int(decompressor.output_scanline);
        if (jpeg_read_scanlines(&decompressor, line, 1) != 1)
            break;
        const JSAMPLE* in = line[0];
        BYTE* out = bitmap.Row(y);
        for (int x = 0; x < width; ++x)
        {
            if (components == 1)
                StorePixel(out, x, 32, in[x], in[x], in[x], 255);
            else
                StorePixel(out, x, 32, in[3 * x + 2], in[3 * x + 1], in[3 * x], 255);
        }
        bitmap.m_rowCounter = y + 1;
    }
    jpeg_finish_decompress(&decompressor);
    jpeg_destroy_decompress(&decompressor);
    return 0;
}
} // namespace

int DecodeJpeg(IStream* source, CRasterBitmap& bitmap, int alphaFlag)
{
    JpegDecoding* state = new (std::nothrow) JpegDecoding();
    if (!state)
        return -1;
    const int result = Decode(*state, source, bitmap, alphaFlag);
    delete state;
    return result;
}
