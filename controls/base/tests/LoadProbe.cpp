// Loads one library by path and reports whether it started: exit 0 loaded, 3 refused.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: TarnControlsLoadProbe <library path>\n");
        return 2;
    }
    HMODULE library = LoadLibraryExW(argv[1], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        std::printf("refused: error %lu\n", GetLastError());
        return 3;
    }
    std::printf("loaded\n");
    FreeLibrary(library);
    return 0;
}
