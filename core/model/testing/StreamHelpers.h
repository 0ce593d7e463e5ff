#pragma once
#include <functional>
#include <vector>

#include "ClArchive.h"
#include "ClOleStreamFile.h"

// Runs the writes through a storing archive on a memory stream and returns the bytes written.
std::vector<unsigned char> ArchiveBytes(const std::function<void(CArchive&)>& writes);

// Runs the reads through a loading archive over a copy of the bytes. Exceptions pass through.
void ReadArchive(const std::vector<unsigned char>& bytes, const std::function<void(CArchive&)>& reads);

// A memory stream holding the bytes, positioned at the start; the caller releases it.
IStream* StreamOver(const std::vector<unsigned char>& bytes);
std::vector<unsigned char> StreamContent(IStream* stream);
