#pragma once
// Bookkeeping of one archive's object and class indexes.
#include "ClArchive.h"

#include <unordered_map>
#include <vector>

struct CArchive::ObjectMaps
{
    // Storing: the index given to each class and object written so far.
    std::unordered_map<const void*, DWORD> storedObjects;
    std::unordered_map<const void*, DWORD> storedClasses;

    // Loading: everything read so far by index; entry 0 stands for null.
    struct Entry {
        void* pointer;
        bool isClass;
        UINT schema;
    };
    std::vector<Entry> loaded{Entry{nullptr, false, 0}};
};
