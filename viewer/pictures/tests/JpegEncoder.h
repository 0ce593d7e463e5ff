#pragma once
#include <windows.h>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

// Encodes test pictures with the same library: pixels are the samples of the colour space, row by row.
inline std::vector<BYTE> EncodeJpeg(int width, int height, J_COLOR_SPACE space, int components,
                                    const std::vector<BYTE>& samples, int restartRows = 0, bool progressive = false)
{
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = JDIMENSION(width);
    compressor.image_height = JDIMENSION(height);
    compressor.input_components = components;
    compressor.in_color_space = space;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 90, TRUE);
    compressor.restart_in_rows = restartRows;
    if (progressive)
        jpeg_simple_progression(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height)
    {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data()) + size_t(compressor.next_scanline) * width * components;
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    std::vector<BYTE> encoded(buffer, buffer + size);
    jpeg_destroy_compress(&compressor);
    free(buffer);
    return encoded;
}
