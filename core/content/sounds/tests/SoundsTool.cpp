// Helper of the independent "Sounds" check:
//   sounds-tool write <list file> <card>   saves the lists described in the list file as a compound
//                                          file holding the stream "Sounds" (none without items)
//   sounds-tool read <card>                loads "Sounds" from a compound file and prints the lists
//   sounds-tool read-raw <stream file>     loads the bytes of a "Sounds" stream and prints the lists
// List file lines: "list <site> <type> <repeat> <loops>" and
// "item <pause after> <delay> <pause between> <duration> <plays> <name> <ext> <data file>";
// "-" stands for an empty name.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundStore.h"
#include "TempSoundFile.h"

namespace {

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

int Write(const char* listFile, const char* cardPath)
{
    CSoundStore store;
    std::ifstream in(listFile);
    std::string line;
    CSoundSourceList* list = nullptr;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "list") {
            int site = 0, type = 0;
            unsigned repeat = 0, loops = 0;
            words >> site >> type >> repeat >> loops;
            list = new CSoundSourceList(static_cast<SourceType>(type));
            list->m_repeatForever = repeat;
            list->m_loopCount = loops;
            store.AddList(list, site);
        } else if (kind == "item" && list) {
            auto* item = new CSoundItem;
            std::string name, ext, data;
            words >> item->m_pauseAfter >> item->m_delayBefore >> item->m_pauseBetween >> item->m_duration >>
                item->m_playCount >> name >> ext >> data;
            item->SetName(name == "-" ? "" : name.c_str());
            item->SetExtension(ext.c_str());
            const char* path = item->NewTempFileName();
            if (!path || !CopyFileA(data.c_str(), path, FALSE))
                return 2;
            list->InsertAfter(item, list->GetCount() - 1);
        }
    }
    const std::wstring wide = Wide(cardPath);
    IStorage* storage = nullptr;
    if (FAILED(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage)))
        return 2;
    const HRESULT hr = store.Save(storage);
    storage->Commit(STGC_DEFAULT);
    storage->Release();
    return SUCCEEDED(hr) ? 0 : 1;
}

void Print(const CSoundStore& store)
{
    std::printf("lists %d\n", store.GetCount());
    for (int l = 0; l < store.GetCount(); ++l) {
        const CSoundSourceList* list = store.GetAt(l);
        std::printf("list %d %d %u %u %d\n", list->GetSiteId(), static_cast<int>(list->GetSourceType()),
                    list->m_repeatForever, list->m_loopCount, list->GetCount());
        for (int i = 0; i < list->GetCount(); ++i) {
            const CSoundItem* item = list->GetAt(i);
            std::vector<uint8_t> bytes;
            tempsound::ReadAll(item->GetTempPath(), bytes);
            std::printf("item %.17g %.17g %.17g %.17g %u [%s] [%s] ", item->m_pauseAfter, item->m_delayBefore,
                        item->m_pauseBetween, item->m_duration, item->m_playCount,
                        item->GetName() ? item->GetName() : "<none>",
                        item->GetExtension() ? item->GetExtension() : "<none>");
            for (uint8_t b : bytes)
                std::printf("%02x", b);
            std::printf(" %s\n", item->GetTempPath().c_str());
        }
    }
}

const char* Outcome(SoundLoadResult result)
{
    switch (result) {
    case SoundLoadResult::kLoaded: return "loaded";
    case SoundLoadResult::kDamaged: return "damaged";
    default: return "none";
    }
}

int Read(const char* cardPath)
{
    const std::wstring wide = Wide(cardPath);
    IStorage* storage = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage)))
        return 2;
    CSoundStore store;
    std::printf("%s\n", Outcome(store.Load(storage)));
    storage->Release();
    Print(store);
    return 0;
}

int ReadRaw(const char* streamPath)
{
    std::vector<uint8_t> bytes;
    if (!tempsound::ReadAll(streamPath, bytes))
        return 2;
    CSoundStore store;
    std::printf("%s\n", Outcome(store.LoadContent(bytes.data(), bytes.size())));
    Print(store);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "write") == 0)
        return Write(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "read") == 0)
        return Read(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "read-raw") == 0)
        return ReadRaw(argv[2]);
    std::fprintf(stderr, "usage: sounds-tool write <lists> <card> | read <card> | read-raw <stream>\n");
    return 2;
}
