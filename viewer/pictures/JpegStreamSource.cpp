#include "JpegStreamSource.h"

namespace
{
JpegStreamSource* SourceOf(j_decompress_ptr decompressor)
{
    return reinterpret_cast<JpegStreamSource*>(decompressor->src);
}

void InitSource(j_decompress_ptr)
{
}

void TermSource(j_decompress_ptr)
{
}

boolean FillInputBuffer(j_decompress_ptr decompressor)
{
    JpegStreamSource* source = SourceOf(decompressor);
    ULONG got = 0;
    if (FAILED(source->stream->Read(source->buffer, JpegStreamSource::kBufferSize, &got)) || got == 0)
    {
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = got;
    return TRUE;
}

void SkipInputData(j_decompress_ptr decompressor, long count)
{
    JpegStreamSource* source = SourceOf(decompressor);
    if (count <= 0)
        return;
    while (count > long(source->manager.bytes_in_buffer))
    {
        count -= long(source->manager.bytes_in_buffer);
        FillInputBuffer(decompressor);
    }
    source->manager.next_input_byte += count;
    source->manager.bytes_in_buffer -= size_t(count);
}
} // namespace

void JpegStreamSource::Attach(j_decompress_ptr decompressor, IStream* source)
{
    stream = source;
    manager.init_source = InitSource;
    manager.fill_input_buffer = FillInputBuffer;
    manager.skip_input_data = SkipInputData;
    manager.resync_to_restart = jpeg_resync_to_restart;
    manager.term_source = TermSource;
    manager.next_input_byte = nullptr;
    manager.bytes_in_buffer = 0;
    decompressor->src = &manager;
}
