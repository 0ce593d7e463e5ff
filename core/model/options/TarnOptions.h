#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ClString.h"
#include "TarnApi.h"
#include "geometry/PointF.h"

class CTarnStyleLib;

// One free-form value that the drawing controls keep through the application, with the registry
// key it belongs to.
struct ControlValue {
    enum Kind : BYTE { Text = 0, Number = 1, Bytes = 2 };
    BYTE kind = Number;
    BYTE scope = 0;  // level | hive << 1 (level 1: application key; hive 1: machine)
    CString text;
    DWORD number = 0;
    std::vector<BYTE> bytes;
};

// Every user and machine setting with its default.
class TARN_API CTarnOptions {
public:
    CTarnOptions();
    virtual ~CTarnOptions();

    int m_nRestrictVisibleArea = 0;
    int m_nRecentFilesNum = 5;
    double m_dZoomFactor = 2.0;
    CPointF m_DuplicateOffset{24.0, 24.0};
    int m_nScrollTimerRate = 50;
    int m_bFilePreview = 1;
    int m_bClipView = 1;
    int m_bShowMargins = 1;
    int m_bShowRulers = 1;
    int m_bShowGrid = 0;
    int m_bAlignToGrid = 0;
    int m_bAlignWhenShow = 1;
    double m_dGridMajorSpacing = 0.25;
    int m_nGridSubDivPoints = 5;
    COLORREF m_clGridColor = 0xFF0000;
    int m_nGridType = 0;
    int m_nResolutionForExport = 0;
    int m_nDefaultExportWidth = 640;
    int m_nDefaultExportHeight = 480;
    CString m_strTemplatesLocation;
    CString m_strLastOpened;
    CString m_strLastSaved;
    int m_bPrintBackground = 0;
    int m_bAskPrinterAdjustment = 0;
    CString m_strMeasurementUnits;
    bool m_bSoundsEnabled = false;
    bool m_bBitmapOnBackEnabled = true;
    bool m_bSitesBarEnabled = false;
    bool m_bTBClosedWithLastDoc = false;
    CString m_strLastOpenedSound;
    CTarnStyleLib* m_pStyleLib = nullptr;  // owned
    std::map<std::string, ControlValue> m_ControlValues;
    CString m_strExportDirectory;
    int m_nDefExportType = 0;
    int m_nDefExportQuality = 80;
    int m_nDefBPP = 24;
    int m_bUseHeader = 0;
    int m_bUseFooter = 0;
    int m_bExportAllPages = 1;
    int m_bPlacePageNumber = 1;
    int m_bSaveCompressedData = 1;
    CString m_strDownloadDirectory = "Download";
    int m_bDeleteDownloadedFiles = 1;
    int m_nURLWidth = 120;
    int m_nStatusWidth = 55;
    int m_nSizeWidth = 50;
    CString m_strIPStartupURL;
    double m_dPAGridStep = 0.2;
    int m_bPAPrintGrid = 1;
    int m_bPAAutoColor = 1;
    COLORREF m_clPAColor = 0;
    int m_bIPEnabled = 1;
    int m_bShowIP = 1;
    int m_bAlignDistributeEnabled = 1;
    int m_bShowAlignDistribute = 1;
    std::map<std::string, CString> m_FavoriteURLs;
    int m_nDefaultDocStyle = 0;
    int m_nDefPrintRangeSelection = -1;
    int m_bSupportGif = 0;
    int m_bSupportTif = 0;
    int m_bFloatingSitesToolbar = 0;
    std::vector<CString> m_CPLFiles;
    std::vector<CString> m_MRUFonts;
    std::vector<CString> m_MRUSearches;
    CString m_strBackgroundImages;
    CString m_strDATFileImagesLocation;
    CString m_strDATFilePath;
    int m_bDetectPrintFeed = 1;
};

// The favourite offered before the user keeps any.
extern TARN_API const char kDefaultFavoriteName[];
extern TARN_API const char kDefaultFavoriteURL[];
