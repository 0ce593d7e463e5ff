#pragma once
// Where a text object's keyed property records come from and go to. The drawing controls serve
// these from their property bag and stream, the viewer from its own card reader.
#include <windows.h>

#include <cstdint>

// Record ids of the text layer: class number 6.
enum TextRecordId : uint32_t {
    kTextRecordChars = 0x40060001,    // the character records, 56 bytes each
    kTextRecordFonts = 0x40060002,    // the font entries the characters use, 280 bytes each
    kTextRecordType = 0x40060003,     // TextType, int32
};

class TextRecordSource {
public:
    virtual ~TextRecordSource() = default;
    // The first record stored under the name; data stays valid while the source lives.
    virtual bool FindNamed(const char* name, const void*& data, uint32_t& size) = 0;
    // The first record stored under the numeric id.
    virtual bool FindId(uint32_t id, const void*& data, uint32_t& size) = 0;
};

class TextRecordSink {
public:
    virtual ~TextRecordSink() = default;
    virtual HRESULT PutNamed(const char* name, const void* data, uint32_t size) = 0;
    virtual HRESULT PutId(uint32_t id, const void* data, uint32_t size) = 0;
};
