#pragma once
// A look at a property-set stream's structure before the system's property-set code reads it:
// that code follows the stream's offsets and sizes without checking them, so a damaged set can
// bring the program down. Only the value types of the summary sets are accepted.
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "ClString.h"
#include "TarnApi.h"

// True when the header, the section table, every section and every property lie inside the
// stream and every property has a known type; otherwise false with the reason.
TARN_API bool PropertySetStreamIsSound(const std::vector<unsigned char>& stream, CString* reason = nullptr);

// The storage that holds a card's plain streams and property sets: the donor of the
// compressed-storage wrapper, or the storage itself. One reference for the caller; null for null.
TARN_API IStorage* PlainStorageOf(IStorage* storage);

enum class PropertySetState { missing, sound, damaged };
// The state of the property-set stream of that name in the storage's plain storage (the donor
// of the compressed-storage wrapper, where the property sets live).
TARN_API PropertySetState CheckPropertySet(IStorage* storage, const wchar_t* streamName);
