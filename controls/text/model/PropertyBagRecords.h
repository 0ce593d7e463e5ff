#pragma once
// The drawing controls' record reader and writer serving the text model's records.
#include "TextRecordIo.h"
#include "tarn/PropertyRecords.h"

class PropertyBagRecordSource : public TextRecordSource {
public:
    explicit PropertyBagRecordSource(CTarnPropertyBag& bag) : bag_(bag) {}
    bool FindNamed(const char* name, const void*& data, uint32_t& size) override;
    bool FindId(uint32_t id, const void*& data, uint32_t& size) override;

private:
    CTarnPropertyBag& bag_;
};

class StreamRecordSink : public TextRecordSink {
public:
    explicit StreamRecordSink(IStream* stream) : stream_(stream) {}
    HRESULT PutNamed(const char* name, const void* data, uint32_t size) override;
    HRESULT PutId(uint32_t id, const void* data, uint32_t size) override;

private:
    IStream* stream_;
};
