#pragma once
#include <windows.h>
#include <objidl.h>
#include <cstdio>

#include <jpeglib.h>

// A source manager of the JPEG library that reads an IStream through a 4096-byte buffer.
// When the stream has nothing more, the buffer gets an end-of-image marker, so that a truncated
// picture still ends (the library fills the missing part).
struct JpegStreamSource
{
    static const size_t kBufferSize = 4096;

    jpeg_source_mgr manager;
    IStream* stream;
    JOCTET buffer[kBufferSize];

    // Installs the source into the decompressor; the source must outlive the decompression.
    void Attach(j_decompress_ptr decompressor, IStream* source);
};
