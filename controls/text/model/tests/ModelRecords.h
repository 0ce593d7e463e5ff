#pragma once
// The records a text model saves, as bytes: what the edit and undo tests compare.
#include <vector>

#include "StreamBytes.h"
#include "model/PropertyBagRecords.h"
#include "model/TextModel.h"

inline std::vector<BYTE> ModelRecords(const CTextModel& model) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
    StreamRecordSink sink(stream);
    model.Save(sink);
    std::vector<BYTE> bytes = StreamBytes(stream);
    stream->Release();
    return bytes;
}
