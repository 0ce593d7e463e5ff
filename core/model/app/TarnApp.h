#pragma once
// The application object every program built on the library derives from: its start-up brings up
// the drawing-controls and compressed-storage servers, the units, the options and the one rendering
// object of the process, and hands the drawing controls the application interface ITarnApp.
#include <windows.h>

#include <string>

#include "ClInterfaceMap.h"
#include "ClWinApp.h"
#include "TarnApi.h"
#include "TarnControls.h"

class CDrawOptions;
class COptionsManager;
class CProfiler;
class CTarnThumbnail;

struct PrinterInfo {
    double left, top, right, bottom;  // unprintable margins, inches
    CString deviceName;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
};

class TARN_API CTarnApp : public CWinApp {
public:
    ~CTarnApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    virtual CTarnThumbnail* CreateThumbnail();
    virtual void SetTarnRegistryKey(LPCSTR familyName, LPCSTR applicationName);
    // The names of the options' keys; a derived application supplies them.
    virtual CString GetAppRegistryRootName();
    virtual CString GetAppEngineRootName();
    virtual CString GetAppFamilyRootName();
    // The drawing request every draw starts from; a derived application may supply its own class.
    virtual CDrawOptions* CreateDrawOptions();
    // Every view of every open document is drawn again.
    virtual void UpdateAllViews();
    virtual COptionsManager* CreateOptionsManager();
    virtual CProfiler* CreateProfiler();
    virtual void ClearOptions();
    virtual void SetDefaultMeasurementUnits();
    virtual void InitControlsCLSID();

    COptionsManager* GetOptionsManager() const { return m_pOptionsManager; }
    CProfiler* GetProfiler() const { return m_pProfiler; }
    ITarnRendering* GetRendering() const { return m_pRendering; }
    BOOL GetPrinterInfo(PrinterInfo* info, HDC hdc);

    // Where start-up messages go: a message box unless a test or a silent host answers them.
    typedef int (*MessageSink)(void* context, const char* text, const char* caption, UINT type);
    void SetMessageSink(MessageSink sink, void* context);

protected:
    CTarnApp();

    int ShowMessage(const char* text, UINT captionId, UINT type);
    int ShowMessage(UINT textId, UINT captionId, UINT type);

    COptionsManager* m_pOptionsManager;
    CProfiler* m_pProfiler;
    ITarnRendering* m_pRendering;
    HGLOBAL m_hDevMode;
    HGLOBAL m_hDevNames;

    // Commands.
    void OnWindowsCloseAll();
    void OnFilePrintSetup();
    void OnFileSaveAll();
    void OnFileNewCommand() { OnFileNew(); }
    void OnFileOpenCommand() { OnFileOpen(); }
    DECLARE_MESSAGE_MAP()

    BEGIN_INTERFACE_PART(TarnApp, ITarnApp)
        STDMETHOD(GetNextMeasurementUnit)(MeasurementUnit* unit, MeasurementUnit** next) override;
        STDMETHOD(GetDefaultMeasurementUnit)(MeasurementUnit** unit) override;
        STDMETHOD(ParseUnitsText)(LPSTR text, LONG flag, double* value) override;
        STDMETHOD(GetValueText)(LPCSTR name, BSTR* text) override;
        STDMETHOD(GetValueInt)(LPCSTR name, int* value) override;
        STDMETHOD(GetValueBlock)(LPCSTR name, BYTE** block, LONG* length) override;
        STDMETHOD(SetValueText)(LPCSTR name, LPCSTR text, LONG hive, LONG level) override;
        STDMETHOD(SetValueInt)(LPCSTR name, int value, LONG hive, LONG level) override;
        STDMETHOD(SetValueBlock)(LPCSTR name, BYTE* block, LONG length, LONG hive, LONG level) override;
    END_INTERFACE_PART(TarnApp)
    DECLARE_INTERFACE_MAP()

private:
    BOOL LoadOptions();
    void LoadProfile();
    void StoreOptions();
    BOOL RegisterControlsServer();
    BOOL CreateRenderingObject();

    MessageSink m_messageSink;
    void* m_messageContext;
    // Set once the options were loaded whole: only then may exit write them back.
    BOOL m_bOptionsLoaded;
};

// Accessors through the application of the calling module state.
TARN_API CTarnApp* GetTarnApp();
TARN_API ITarnRendering* GetRendering();
// The application's profiler; null before start-up has made it.
TARN_API CProfiler* GetProfiler();
TARN_API CString GetAppRegistryRootName();
TARN_API const char* GetExeFileName();
// Adds the library to the calling module's resource and class chain.
TARN_API void InitTarnDLL();
// The library's resource module (TarnRes), null when it could not be loaded.
TARN_API HINSTANCE GetTarnResourceHandle();
extern "C" TARN_API DWORD dwTlsIdxDocVersion;
