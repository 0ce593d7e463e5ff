#include "TarnOptions.h"

extern TARN_API const char kDefaultFavoriteName[] = "Clip-art downloads";
extern TARN_API const char kDefaultFavoriteURL[] = "http://www.example.com/clipart/";

namespace {

CString ExecutableFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString folder(path, static_cast<int>(length));
    const int slash = folder.ReverseFind('\\');
    return slash >= 0 ? folder.Left(slash + 1) : CString();
}

}  // namespace

CTarnOptions::CTarnOptions() : m_strExportDirectory(ExecutableFolder())
{
    m_FavoriteURLs[kDefaultFavoriteName] = kDefaultFavoriteURL;
}

CTarnOptions::~CTarnOptions() = default;
