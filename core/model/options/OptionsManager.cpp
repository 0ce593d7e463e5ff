#include "OptionsManager.h"

#include "TarnApp.h"

#include <algorithm>
#include <cstring>

#include <winspool.h>

#include "ClWinApp.h"
#include "StyleLibrary.h"

namespace {

// Raised by a section reader or writer; ends one load or store call.
struct OptionsSectionError {};

CString Lowered(const char* text)
{
    CString copy(text ? text : "");
    copy.MakeLower();
    return copy;
}

COptionsManager* g_optionsManager = nullptr;

}  // namespace

COptionsManager* GetOptionsManager()
{
    return g_optionsManager;
}

COptionsManager::COptionsManager(CRecentFileList* recentFiles, const CString& familyRootName,
                                 const CString& engineRootName, const CString& applicationRootName)
    : CRegistry(FALSE, FALSE),
      m_pRecentFileList(recentFiles),
      m_strFamilyRootName(familyRootName),
      m_strEngineRootName(engineRootName),
      m_strApplicationRootName(applicationRootName)
{
    if (!g_optionsManager)
        g_optionsManager = this;
    VC_SetValue("ParseMetafiles", 1, 0, 1);
    VC_SetValue("ParseLinGrad", 1, 0, 1);
    VC_SetValue("ParseCircGrad", 0, 0, 1);
    VC_SetValue("ParsePolygons", 1, 0, 1);
    VC_SetValue("SupportGif", m_bSupportGif, 1, 1);
    VC_SetValue("SupportTif", m_bSupportTif, 1, 1);
}

COptionsManager::~COptionsManager()
{
    if (g_optionsManager == this)
        g_optionsManager = nullptr;
    CloseAll();
    for (ColorPalette* palette : m_Palettes)
        delete palette;
    for (CItemsList* list : m_ItemLists)
        delete list;
    delete m_pStyleLib;
}

CTarnStyleLib* COptionsManager::CreateStyleLib()
{
    return new CTarnStyleLib(this);
}

ColorPalette* COptionsManager::CreateColorPalette()
{
    return new ColorPalette();
}

void COptionsManager::Initialize()
{
    if (!m_pStyleLib) {
        m_pStyleLib = CreateStyleLib();
        if (m_pStyleLib)
            m_pStyleLib->InitNew();
    }
    m_nPrintersList = RegisterItemList(&COptionsManager::CreateCalibrationItem, "Printers", 1, 1, false);
    m_nMailList = RegisterItemList(&COptionsManager::CreateMailMessageItem, "Mail", 0, 1, false);
    m_nCustomMenuList = RegisterItemList(&COptionsManager::CreateCustomMenuItem, "CustomMenu", 1, 1, true);
    m_nCustomToolbarList = RegisterItemList(&COptionsManager::CreateCustomToolbarItem, "CustomToolbar", 1, 1, false);
}

BOOL COptionsManager::BeforeLoading()
{
    return TRUE;
}

BOOL COptionsManager::AfterLoading()
{
    if (auto* mail = dynamic_cast<CMailMessageItem*>(GetItemByName(m_nMailList, "AttachedDoc", 0, 1))) {
        CString type;
        if (!type.LoadString(12009) || type.IsEmpty())
            type = "Card";
        mail->m_strMessageType = type;
    }
    if (m_pStyleLib)
        CreateDefaultStyle();
    return TRUE;
}

void COptionsManager::BeforeStoring() {}

void COptionsManager::AfterStoring() {}

// ---------------------------------------------------------------------------------------------
// Keys

void COptionsManager::CloseAll()
{
    if (!m_active)
        return;
    while (m_active->Close()) {
    }
}

void COptionsManager::Reset(int hive, int forReading)
{
    CloseAll();
    m_bReading = forReading != 0;
    m_active.reset(new CRegistry(hive == 1, forReading ? TRUE : FALSE));
}

CString COptionsManager::OptionsKey(const char* name) const
{
    return "SOFTWARE\\" + m_strFamilyRootName + "\\" + (name ? CString(name) : m_strEngineRootName);
}

bool COptionsManager::OpenOptionsKey(const CString& key, bool create)
{
    if (Registry().Open(key))
        return true;
    return create && Registry().CreateKey(key);
}

[[noreturn]] void COptionsManager::Fail()
{
    throw OptionsSectionError();
}

void COptionsManager::Check(BOOL written)
{
    if (!written)
        Fail();
}

BOOL COptionsManager::LoadOptions(int hive, const char* name)
{
    Reset(hive, TRUE);
    if (!OpenOptionsKey(OptionsKey(name), false))
        return FALSE;
    BOOL result = TRUE;
    try {
        ReadSections(hive, name ? 1 : 0);
    } catch (const OptionsSectionError&) {
        result = FALSE;
    }
    CloseAll();
    return result;
}

BOOL COptionsManager::StoreOptions(int hive, const char* name)
{
    Reset(hive, FALSE);
    if (!OpenOptionsKey(OptionsKey(name), true)) {
        Reset(hive, FALSE);
        if (!Registry().CreateKey(OptionsKey(name)))
            return FALSE;
    }
    BOOL result = TRUE;
    try {
        WriteSections(hive, name ? 1 : 0);
    } catch (const OptionsSectionError&) {
        result = FALSE;
    }
    CloseAll();
    if (!result)
        ReportStoreFailure();
    return result;
}

void COptionsManager::ReportStoreFailure()
{
    CString text, caption;
    if (!text.LoadString(57344))
        text = "The options could not be saved.";
    if (!caption.LoadString(12084))
        caption = "Options";
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

void COptionsManager::CallSection(const char* section, void (COptionsManager::*member)())
{
    CRegistry& reg = Registry();
    if (m_bReading) {
        if (!reg.Open(section))
            return;
    } else if (!reg.CreateKey(section)) {
        Fail();
    }
    try {
        (this->*member)();
    } catch (...) {
        reg.Close();
        throw;
    }
    reg.Close();
}

void COptionsManager::CallSectionParams(const char* section, void (COptionsManager::*member)(int, int), int hive,
                                        int level)
{
    CRegistry& reg = Registry();
    if (m_bReading) {
        if (!reg.Open(section))
            return;
    } else if (!reg.CreateKey(section)) {
        Fail();
    }
    try {
        (this->*member)(hive, level);
    } catch (...) {
        reg.Close();
        throw;
    }
    reg.Close();
}

void COptionsManager::CallSectionForItemsLists(int hive, int level)
{
    for (size_t index = 0; index < m_ItemLists.size(); ++index) {
        CItemsList* list = m_ItemLists[index];
        if (list->m_nHive != hive || list->m_nLevel != level)
            continue;
        // The installer's menu and toolbar customisations are read only: their items store
        // nothing, so writing would replace them by empty keys that no longer load.
        const int listIndex = static_cast<int>(index);
        if (!m_bReading && (listIndex == m_nCustomMenuList || listIndex == m_nCustomToolbarList))
            continue;
        CRegistry& reg = Registry();
        if (m_bReading) {
            if (!reg.Open(list->m_strSection))
                continue;
        } else if (!reg.CreateKey(list->m_strSection)) {
            Fail();
        }
        try {
            if (m_bReading)
                ReadItemsList(*list);
            else
                WriteItemsList(*list);
        } catch (...) {
            reg.Close();
            throw;
        }
        reg.Close();
    }
}

void COptionsManager::ReadSections(int hive, int level)
{
    if (hive == 1 && level == 0) {
        CallSectionParams("TarnControls", &COptionsManager::ReadTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
    } else if (hive == 0 && level == 0) {
        CallSection("General", &COptionsManager::ReadEngineGeneralSection);
        CallSectionParams("TarnControls", &COptionsManager::ReadTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
    } else if (hive == 1) {
        CallSection("General", &COptionsManager::ReadAdminGeneralSection);
        CallSectionParams("TarnControls", &COptionsManager::ReadTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
        CallSection("FavoriteURLList", &COptionsManager::ReadFavoriteURLList);
    } else {
        CallSection("RecentFilesList", &COptionsManager::ReadRecentFileList);
        CallSection("Printing", &COptionsManager::ReadPrintingSection);
        CallSection("General", &COptionsManager::ReadGeneralSection);
        CallSectionParams("TarnControls", &COptionsManager::ReadTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
        CallSection("FavoriteURLList", &COptionsManager::ReadFavoriteURLList);
        CallSection("CPLFileList", &COptionsManager::ReadCPLFileList);
        CallSection("MRUFontList", &COptionsManager::ReadMRUFontList);
        CallSection("MRUSearchList", &COptionsManager::ReadMRUSearchList);
    }
}

void COptionsManager::WriteSections(int hive, int level)
{
    if (hive == 1 && level == 0) {
        CallSectionParams("TarnControls", &COptionsManager::WriteTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
    } else if (hive == 0 && level == 0) {
        CallSection("General", &COptionsManager::WriteEngineGeneralSection);
        CallSectionParams("TarnControls", &COptionsManager::WriteTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
    } else if (hive == 1) {
        CallSection("General", &COptionsManager::WriteAdminGeneralSection);
        CallSectionParams("TarnControls", &COptionsManager::WriteTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
    } else {
        CallSection("RecentFilesList", &COptionsManager::WriteRecentFileList);
        CallSection("Printing", &COptionsManager::WritePrintingSection);
        CallSection("General", &COptionsManager::WriteGeneralSection);
        CallSectionParams("TarnControls", &COptionsManager::WriteTarnControlsSection, hive, level);
        CallSectionForItemsLists(hive, level);
        CallSection("FavoriteURLList", &COptionsManager::WriteFavoriteURLList);
        CallSection("CPLFileList", &COptionsManager::WriteCPLFileList);
        CallSection("MRUFontList", &COptionsManager::WriteMRUFontList);
        CallSection("MRUSearchList", &COptionsManager::WriteMRUSearchList);
    }
}

// ---------------------------------------------------------------------------------------------
// Typed reads

BOOL COptionsManager::ReadNumber(const char* name, DWORD& value)
{
    CRegistry& reg = Registry();
    unsigned long raw = 0;
    if (!reg.Read(name, raw) || reg.GetLastType() != REG_DWORD || reg.GetLastSize() != sizeof(DWORD))
        return FALSE;
    value = raw;
    return TRUE;
}

BOOL COptionsManager::ReadNumber(const char* name, int& value)
{
    DWORD raw = 0;
    if (!ReadNumber(name, raw))
        return FALSE;
    value = static_cast<int>(raw);
    return TRUE;
}

BOOL COptionsManager::ReadFlag(const char* name, bool& value)
{
    DWORD raw = 0;
    if (!ReadNumber(name, raw))
        return FALSE;
    // The registry's boolean rule: only 1 is true.
    value = raw == 1;
    return TRUE;
}

BOOL COptionsManager::ReadText(const char* name, CString& value)
{
    CRegistry& reg = Registry();
    CString text;
    if (!reg.Read(name, text) || (reg.GetLastType() != REG_SZ && reg.GetLastType() != REG_EXPAND_SZ))
        return FALSE;
    value = text;
    return TRUE;
}

BOOL COptionsManager::ReadBytes(const char* name, std::vector<BYTE>& value)
{
    CRegistry& reg = Registry();
    BYTE* data = nullptr;
    UINT size = 0;
    if (!reg.Read(name, &data, &size))
        return FALSE;
    const bool binary = reg.GetLastType() == REG_BINARY;
    if (binary)
        value.assign(data, data + size);
    delete[] data;
    return binary ? TRUE : FALSE;
}

BOOL COptionsManager::ReadDouble(const char* name, double& value)
{
    CRegistry& reg = Registry();
    double number = 0;
    if (!reg.Read(name, number) || (reg.GetLastType() != REG_SZ && reg.GetLastType() != REG_EXPAND_SZ))
        return FALSE;
    value = number;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Controls' values

BOOL COptionsManager::VC_GetValue(const char* name, void* data, int bufferSize)
{
    if (!name || !data)
        return FALSE;
    const auto it = m_ControlValues.find(name);
    if (it == m_ControlValues.end() || it->second.kind != ControlValue::Bytes)
        return FALSE;
    const std::vector<BYTE>& bytes = it->second.bytes;
    const size_t room = bufferSize > 0 ? static_cast<size_t>(bufferSize) : 0;
    const size_t copied = std::min(room, bytes.size());
    if (copied)
        std::memcpy(data, bytes.data(), copied);
    return copied == bytes.size();
}

BOOL COptionsManager::VC_GetValue(const char* name, int* value)
{
    if (!name || !value)
        return FALSE;
    const auto it = m_ControlValues.find(name);
    if (it == m_ControlValues.end() || it->second.kind != ControlValue::Number)
        return FALSE;
    *value = static_cast<int>(it->second.number);
    return TRUE;
}

BOOL COptionsManager::VC_GetValue(const char* name, char* text, int bufferSize)
{
    if (!name || !text || bufferSize <= 0)
        return FALSE;
    const auto it = m_ControlValues.find(name);
    if (it == m_ControlValues.end() || it->second.kind != ControlValue::Text)
        return FALSE;
    const CString& value = it->second.text;
    lstrcpynA(text, value, bufferSize);
    return value.GetLength() < bufferSize;
}

BOOL COptionsManager::VC_SetValue(const char* name, const void* data, int length, int hive, int level)
{
    if (!name || length < 0 || (length > 0 && !data))
        return FALSE;
    ControlValue value;
    value.kind = ControlValue::Bytes;
    value.scope = static_cast<BYTE>((level & 1) | (hive & 1) << 1);
    const BYTE* bytes = static_cast<const BYTE*>(data);
    value.bytes.assign(bytes, bytes + length);
    m_ControlValues[name] = value;
    return TRUE;
}

BOOL COptionsManager::VC_SetValue(const char* name, int number, int hive, int level)
{
    if (!name)
        return FALSE;
    ControlValue value;
    value.kind = ControlValue::Number;
    value.scope = static_cast<BYTE>((level & 1) | (hive & 1) << 1);
    value.number = static_cast<DWORD>(number);
    m_ControlValues[name] = value;
    return TRUE;
}

BOOL COptionsManager::VC_SetValue(const char* name, const char* text, int hive, int level)
{
    if (!name)
        return FALSE;
    ControlValue value;
    value.kind = ControlValue::Text;
    value.scope = static_cast<BYTE>((level & 1) | (hive & 1) << 1);
    value.text = text ? text : "";
    m_ControlValues[name] = value;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Item lists

int COptionsManager::RegisterItemList(OptionsItemFactory factory, const char* section, int hive, int level,
                                      bool keepExisting)
{
    m_ItemLists.push_back(new CItemsList(factory, section, hive, level, keepExisting));
    return static_cast<int>(m_ItemLists.size()) - 1;
}

COptionsManager::CItemsList* COptionsManager::GetItemListByIndex(int index)
{
    return index >= 0 && index < static_cast<int>(m_ItemLists.size()) ? m_ItemLists[static_cast<size_t>(index)]
                                                                       : nullptr;
}

COptionsItem* COptionsManager::GetItemByName(int listIndex, const char* name, int caseSensitive, int create)
{
    CItemsList* list = GetItemListByIndex(listIndex);
    if (!list || !name)
        return nullptr;
    const CString wanted = caseSensitive ? CString(name) : Lowered(name);
    for (COptionsItem* item : list->Items()) {
        const CString have = caseSensitive ? item->m_strName : Lowered(item->m_strName);
        if (std::strcmp(have, wanted) == 0)
            return item;
    }
    if (!create)
        return nullptr;
    COptionsItem* item = (this->*list->m_factory)();
    if (!item)
        return nullptr;
    if (!item->InitNew(name)) {
        delete item;
        return nullptr;
    }
    list->Items().push_back(item);
    return item;
}

COptionsItem* COptionsManager::GetOptionsForPrinter(CString name)
{
    if (name.IsEmpty()) {
        // The printer the application prints on now; a process without the framework's
        // application (a tool) has only the system's default one.
        if (CTarnApp* app = GetTarnApp()) {
            PrinterInfo info = {};
            app->GetPrinterInfo(&info, nullptr);
            name = info.deviceName;
        } else {
            char device[256] = {};
            DWORD size = sizeof device;
            if (GetDefaultPrinterA(device, &size))
                name = device;
        }
    }
    return GetItemByName(m_nPrintersList, name, 0, 1);
}

COptionsItem* COptionsManager::GetMailOptions(CString name)
{
    return GetItemByName(m_nMailList, name, 0, 1);
}

COptionsItem* COptionsManager::CreateCustomToolbarItem()
{
    return new CCustomToolbarItem();
}

COptionsItem* COptionsManager::CreateCalibrationItem()
{
    return new CPrinterCalibrationItem();
}

COptionsItem* COptionsManager::CreateMailMessageItem()
{
    return new CMailMessageItem();
}

COptionsItem* COptionsManager::CreateCustomMenuItem()
{
    return new CCustomMenuItem();
}

void COptionsManager::ReadItemsList(CItemsList& list)
{
    CRegistry& reg = Registry();
    const unsigned long count = reg.GetSubKeysCount();
    for (unsigned long i = 0; i < count; ++i) {
        const CString key = reg.EnumKey(i);
        COptionsItem* item = (this->*list.m_factory)();
        if (!item)
            Fail();
        if (key.IsEmpty() || !reg.Open(key)) {
            delete item;
            Fail();
        }
        const BOOL loaded = item->Load(this);
        reg.Close();
        if (!loaded) {
            delete item;
            Fail();
        }
        list.Items().push_back(item);
    }
}

void COptionsManager::WriteItemsList(CItemsList& list)
{
    CRegistry& reg = Registry();
    if (!list.m_bKeepExisting) {
        for (unsigned long i = reg.GetSubKeysCount(); i > 0; --i) {
            const CString key = reg.EnumKey(i - 1);
            if (!key.IsEmpty())
                reg.DeleteKey(key);
        }
    }
    for (int i = 0; i < list.GetSize(); ++i) {
        CString key;
        key.Format("Item%i", i);
        if (!reg.CreateKey(key))
            Fail();
        const BOOL stored = list.GetItem(i)->Store(this);
        reg.Close();
        if (!stored)
            Fail();
    }
}

void COptionsManager::ReadList(const char* format, std::vector<CString>& list)
{
    list.clear();
    for (int i = 0;; ++i) {
        CString name, value;
        name.Format(format, i);
        if (!ReadText(name, value))
            break;
        list.push_back(value);
    }
}

void COptionsManager::WriteList(const char* format, const std::vector<CString>& list)
{
    for (size_t i = 0; i < list.size(); ++i) {
        CString name;
        name.Format(format, static_cast<int>(i));
        Check(Registry().Write(name, static_cast<LPCSTR>(list[i])));
    }
    // A list that became shorter must read back shorter: reading stops at the first gap.
    CString after;
    after.Format(format, static_cast<int>(list.size()));
    Registry().DeleteValue(after);
}

// ---------------------------------------------------------------------------------------------
// Style library and palettes

BOOL COptionsManager::LoadStyleLibrary()
{
    if (!m_pStyleLib)
        return TRUE;
    Reset(1, TRUE);
    if (!OpenOptionsKey(OptionsKey(m_strApplicationRootName), false))
        return FALSE;
    BOOL result = FALSE;
    try {
        result = m_pStyleLib->Load();
    } catch (...) {
        result = FALSE;
    }
    CloseAll();
    return result;
}

BOOL COptionsManager::StoreStyleLibrary()
{
    if (!m_pStyleLib)
        return TRUE;
    Reset(1, FALSE);
    if (!OpenOptionsKey(OptionsKey(m_strApplicationRootName), true))
        return FALSE;
    BOOL result = FALSE;
    try {
        result = m_pStyleLib->Store();
    } catch (...) {
        result = FALSE;
    }
    CloseAll();
    return result;
}

void COptionsManager::CreateDefaultStyle()
{
    if (m_pStyleLib)
        m_pStyleLib->EnsureDefaultStyles();
}

ColorPalette* COptionsManager::LoadColorPaletteFromFile(CString& path)
{
    ColorPalette* palette = CreateColorPalette();
    if (!palette)
        return nullptr;
    if (!ReadColorPaletteFile(path, *palette)) {
        delete palette;
        return nullptr;
    }
    return palette;
}

ColorPalette* COptionsManager::CreateDefaultColorPalette()
{
    ColorPalette* palette = CreateColorPalette();
    if (palette)
        FillDefaultColorPalette(*palette);
    return palette;
}

BOOL COptionsManager::LoadColorPalettes()
{
    for (size_t i = m_CPLFiles.size(); i > 0; --i) {
        ColorPalette* palette = LoadColorPaletteFromFile(m_CPLFiles[i - 1]);
        if (palette)
            m_Palettes.insert(m_Palettes.begin(), palette);
        else
            m_CPLFiles.erase(m_CPLFiles.begin() + static_cast<long>(i - 1));
    }
    if (!m_CPLFiles.empty())
        return TRUE;
    if (ColorPalette* palette = CreateDefaultColorPalette())
        m_Palettes.insert(m_Palettes.begin(), palette);
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString file(path, static_cast<int>(length));
    const int dot = file.ReverseFind('.');
    if (dot > file.ReverseFind('\\'))
        file = file.Left(dot);
    m_CPLFiles.push_back(file + ".cpl");
    return TRUE;
}

BOOL COptionsManager::StoreColorPalettes()
{
    return TRUE;
}
