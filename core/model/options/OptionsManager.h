#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "ColorPalette.h"
#include "OptionsItems.h"
#include "Registry.h"
#include "TarnApi.h"
#include "TarnOptions.h"

class CRecentFileList;
class CTarnStyleLib;

class COptionsManager;
// The application's options manager: the first one made and not yet destroyed.
TARN_API COptionsManager* GetOptionsManager();

// Room the drawing controls give VC_GetValue when they ask through the application.
constexpr int kControlValueBufferSize = 260;

// Every user and machine setting of the application, moved between memory and the registry. Each
// hive has an engine key (SOFTWARE\<family>\<engine>, level 0) and an application key
// (SOFTWARE\<family>\<application>, level 1); sections are sub-keys of those.
class TARN_API COptionsManager : public CRegistry, public CTarnOptions {
public:
    typedef COptionsItem CItem;
    typedef ::CPrinterCalibrationItem CPrinterCalibrationItem;
    typedef ::CMailMessageItem CMailMessageItem;
    typedef ::CCustomMenuItem CCustomMenuItem;
    typedef ::CCustomToolbarItem CCustomToolbarItem;
    typedef ::CItemsList CItemsList;

    // The names come from the application: its family root, its engine and its own registry name.
    COptionsManager(CRecentFileList* recentFiles, const CString& familyRootName, const CString& engineRootName,
                    const CString& applicationRootName);
    ~COptionsManager() override;

    virtual CTarnStyleLib* CreateStyleLib();
    virtual ColorPalette* CreateColorPalette();
    virtual void Initialize();
    virtual BOOL BeforeLoading();
    virtual BOOL AfterLoading();
    virtual void BeforeStoring();
    virtual void AfterStoring();
    // name null: the engine key. FALSE when the key is missing (loading) or cannot be made
    // (storing), or when a section reader or writer failed.
    virtual BOOL LoadOptions(int hive, const char* name);
    virtual BOOL StoreOptions(int hive, const char* name);
    virtual BOOL LoadStyleLibrary();
    virtual BOOL StoreStyleLibrary();
    virtual BOOL LoadColorPalettes();
    virtual BOOL StoreColorPalettes();

    // Values of the drawing controls. The readers answer FALSE when the name is absent or of
    // another kind; a value larger than the caller's buffer is cut to fit and answered FALSE too.
    virtual BOOL VC_GetValue(const char* name, void* data, int bufferSize = kControlValueBufferSize);
    virtual BOOL VC_GetValue(const char* name, int* value);
    virtual BOOL VC_GetValue(const char* name, char* text, int bufferSize = kControlValueBufferSize);
    virtual BOOL VC_SetValue(const char* name, const void* data, int length, int hive, int level);
    virtual BOOL VC_SetValue(const char* name, int value, int hive, int level);
    virtual BOOL VC_SetValue(const char* name, const char* text, int hive, int level);

    virtual CItemsList* GetItemListByIndex(int index);
    virtual COptionsItem* GetItemByName(int list, const char* name, int caseSensitive, int create);
    virtual COptionsItem* GetOptionsForPrinter(CString name);
    virtual COptionsItem* GetMailOptions(CString name);
    virtual COptionsItem* CreateCustomToolbarItem();
    virtual int RegisterItemList(OptionsItemFactory factory, const char* section, int hive, int level,
                                 bool keepExisting);
    virtual COptionsItem* CreateCalibrationItem();
    virtual COptionsItem* CreateMailMessageItem();
    virtual COptionsItem* CreateCustomMenuItem();
    virtual ColorPalette* CreateDefaultColorPalette();
    virtual void CreateDefaultStyle();

    virtual void ReadRecentFileList();
    virtual void WriteRecentFileList();
    virtual void ReadEngineGeneralSection();
    virtual void WriteEngineGeneralSection();
    virtual void ReadGeneralSection();
    virtual void WriteGeneralSection();
    virtual void ReadPrintingSection();
    virtual void WritePrintingSection();
    virtual void ReadAdminGeneralSection();
    virtual void WriteAdminGeneralSection();
    virtual void ReadTarnControlsSection(int hive, int level);
    virtual void WriteTarnControlsSection(int hive, int level);
    virtual void ReadSections(int hive, int level);
    virtual void WriteSections(int hive, int level);
    virtual void ReadFavoriteURLList();
    virtual void WriteFavoriteURLList();
    virtual void ReadCPLFileList();
    virtual void WriteCPLFileList();
    virtual void ReadMRUFontList();
    virtual void WriteMRUFontList();
    virtual void ReadMRUSearchList();
    virtual void WriteMRUSearchList();

    // Closes every key and points the registry at the hive (1 machine, 0 user).
    void Reset(int hive, int forReading);
    void ReadItemsList(CItemsList& list);
    void WriteItemsList(CItemsList& list);
    void ReadList(const char* format, std::vector<CString>& list);
    void WriteList(const char* format, const std::vector<CString>& list);
    ColorPalette* LoadColorPaletteFromFile(CString& path);

    // The registry of the hive being loaded or stored.
    CRegistry& Registry() { return m_active ? *m_active : static_cast<CRegistry&>(*this); }
    // Typed reads that take a value only when it has the right registry type and size; anything
    // else leaves the field as it was.
    BOOL ReadNumber(const char* name, DWORD& value);
    BOOL ReadNumber(const char* name, int& value);
    BOOL ReadFlag(const char* name, bool& value);
    BOOL ReadText(const char* name, CString& value);
    BOOL ReadBytes(const char* name, std::vector<BYTE>& value);
    BOOL ReadDouble(const char* name, double& value);

    std::vector<ColorPalette*> m_Palettes;  // owned, first shown first
    int m_nPrintersList = -1;
    int m_nMailList = -1;
    int m_nCustomMenuList = -1;
    int m_nCustomToolbarList = -1;
    CRecentFileList* m_pRecentFileList;  // not owned

protected:
    // Shows why storing failed; a seam for programs that run without a user.
    virtual void ReportStoreFailure();
    // Runs one section: opens it (reading: skipped when missing; writing: created), calls the
    // member and closes it. Readers and writers raise an error for a failure.
    void CallSection(const char* section, void (COptionsManager::*member)());
    void CallSectionParams(const char* section, void (COptionsManager::*member)(int, int), int hive, int level);
    void CallSectionForItemsLists(int hive, int level);
    [[noreturn]] void Fail();
    void Check(BOOL written);

    CString m_strFamilyRootName;
    CString m_strEngineRootName;
    CString m_strApplicationRootName;
    bool m_bReading = true;

private:
    CString OptionsKey(const char* name) const;
    bool OpenOptionsKey(const CString& key, bool create);
    void CloseAll();

    std::unique_ptr<CRegistry> m_active;
    int m_nOpenKeys = 0;
    std::vector<CItemsList*> m_ItemLists;  // owned
};
