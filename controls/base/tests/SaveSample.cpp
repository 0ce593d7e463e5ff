// Writes the saved stream of one control to a file, for the independent reader of the record format.
#include <windows.h>

#include <cstdio>

#include "ControlFixtures.h"
#include "atlbstr.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: TarnControlsSaveSample <output file>\n");
        return 2;
    }
    CoInitialize(nullptr);
    TestControlObject* control = NewTestControl();
    control->InitNew();
    control->rect = tagRectF{1.5, -2.25, 4, 8};
    control->angle = 0.75;
    control->put_ControlName(CComBSTR(L"Greeting"));
    control->put_TypeID(1201);
    const BYTE extra[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};
    control->SetParam(CComBSTR(L"ExtraBytes"), sizeof extra, const_cast<BYTE*>(extra));
    const std::vector<BYTE> bytes = SavedBytes(AsBase(control));
    control->Release();
    CoUninitialize();

    FILE* file = _wfopen(argv[1], L"wb");
    if (!file) {
        std::fprintf(stderr, "cannot write the output file\n");
        return 1;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return written == bytes.size() && !bytes.empty() ? 0 : 1;
}
