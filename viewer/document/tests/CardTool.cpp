// Test helper for the independent check of card reading:
//   pavane-cardtool pack <contents file> <card file>   writes a compound file whose "Contents" holds the bytes
//   pavane-cardtool dump <card file>                   reads the card and prints what the viewer made of it
#include "CardDump.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadFile(const char* path, std::vector<BYTE>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int Pack(const char* contentsPath, const char* cardPath)
{
    std::vector<BYTE> contents;
    if (!ReadFile(contentsPath, contents)) {
        std::fprintf(stderr, "cannot read %s\n", contentsPath);
        return 2;
    }
    WCHAR widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, cardPath, -1, widePath, MAX_PATH);
    IStorage* storage = nullptr;
    HRESULT hr = StgCreateDocfile(widePath, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
    if (FAILED(hr)) {
        std::fprintf(stderr, "cannot create %s: 0x%08lx\n", cardPath, hr);
        return 2;
    }
    IStream* stream = nullptr;
    hr = storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
    ULONG written = 0;
    if (SUCCEEDED(hr)) {
        hr = stream->Write(contents.data(), static_cast<ULONG>(contents.size()), &written);
        stream->Release();
    }
    if (SUCCEEDED(hr))
        hr = storage->Commit(STGC_DEFAULT);
    storage->Release();
    if (FAILED(hr) || written != contents.size()) {
        std::fprintf(stderr, "cannot write Contents: 0x%08lx\n", hr);
        return 2;
    }
    return 0;
}

int Dump(const char* cardPath)
{
    std::vector<BYTE> card;
    if (!ReadFile(cardPath, card)) {
        std::fprintf(stderr, "cannot read %s\n", cardPath);
        return 2;
    }
    CCardViewerDoc doc;
    const CardLoadResult result = doc.LoadCardFile(card.data(), card.size());
    PrintCard(stdout, doc, result);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "pack")
        return Pack(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "dump")
        return Dump(argv[2]);
    std::fprintf(stderr, "usage: pavane-cardtool pack <contents> <card> | dump <card>\n");
    return 1;
}
