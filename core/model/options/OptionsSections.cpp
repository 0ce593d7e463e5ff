// Readers and writers of the option sections. Readers take each value that is present with the
// right type and leave the rest; writers write every value and raise an error at the first failure.
#include <cstring>

#include "ClWinApp.h"
#include "OptionsManager.h"

namespace {

const char kSupportGif[] = "SupportGif";
const char kSupportTif[] = "SupportTif";

bool IsSupportValue(const char* name)
{
    return lstrcmpiA(name, kSupportGif) == 0 || lstrcmpiA(name, kSupportTif) == 0;
}

}  // namespace

void COptionsManager::ReadEngineGeneralSection()
{
    ReadNumber("ClipView", m_bClipView);
    ReadNumber("ShowMargins", m_bShowMargins);
    ReadNumber("ShowRulers", m_bShowRulers);
    ReadNumber("ResolutionForExport", m_nResolutionForExport);
    ReadNumber("DefaultExportResolutionWidth", m_nDefaultExportWidth);
    ReadNumber("DefaultExportResolutionHeight", m_nDefaultExportHeight);
    ReadNumber("RestrictVisibleArea", m_nRestrictVisibleArea);
    ReadNumber("FilePreview", m_bFilePreview);
    DWORD recent = static_cast<DWORD>(m_nRecentFilesNum);
    if (ReadNumber("RecentFilesNum", recent))
        m_nRecentFilesNum = recent == 0 ? 1 : (recent > 9 ? 9 : static_cast<int>(recent));
    ReadNumber("DefExportType", m_nDefExportType);
    ReadNumber("DefExportQuality", m_nDefExportQuality);
    ReadNumber("DefBPP", m_nDefBPP);
    ReadNumber("UseHeader", m_bUseHeader);
    ReadNumber("UseFooter", m_bUseFooter);
    ReadNumber("ExportAllPages", m_bExportAllPages);
    ReadNumber("PlacePageNumber", m_bPlacePageNumber);
    ReadNumber("ScrollTimerRate", m_nScrollTimerRate);
    std::vector<BYTE> block;
    if (ReadBytes("ZoomFactor", block) && block.size() == sizeof(double))
        std::memcpy(&m_dZoomFactor, block.data(), sizeof(double));
    if (ReadBytes("DuplicateOffset", block) && block.size() == 2 * sizeof(double)) {
        double xy[2];
        std::memcpy(xy, block.data(), sizeof xy);
        m_DuplicateOffset = CPointF(xy[0], xy[1]);
    }
    ReadNumber("DeleteDownloadedFiles", m_bDeleteDownloadedFiles);
}

void COptionsManager::WriteEngineGeneralSection()
{
    CRegistry& reg = Registry();
    Check(reg.Write("ClipView", m_bClipView));
    Check(reg.Write("ShowMargins", m_bShowMargins));
    Check(reg.Write("ShowRulers", m_bShowRulers));
    Check(reg.Write("ResolutionForExport", m_nResolutionForExport));
    Check(reg.Write("DefaultExportResolutionWidth", m_nDefaultExportWidth));
    Check(reg.Write("DefaultExportResolutionHeight", m_nDefaultExportHeight));
    Check(reg.Write("RestrictVisibleArea", m_nRestrictVisibleArea));
    Check(reg.Write("FilePreview", m_bFilePreview));
    Check(reg.Write("RecentFilesNum", m_nRecentFilesNum));
    Check(reg.Write("DefExportType", m_nDefExportType));
    Check(reg.Write("DefExportQuality", m_nDefExportQuality));
    Check(reg.Write("DefBPP", m_nDefBPP));
    Check(reg.Write("UseHeader", m_bUseHeader));
    Check(reg.Write("UseFooter", m_bUseFooter));
    Check(reg.Write("ExportAllPages", m_bExportAllPages));
    Check(reg.Write("PlacePageNumber", m_bPlacePageNumber));
    Check(reg.Write("ScrollTimerRate", m_nScrollTimerRate));
    double zoom = m_dZoomFactor;
    Check(reg.Write("ZoomFactor", reinterpret_cast<BYTE*>(&zoom), sizeof zoom));
    double offset[2] = {m_DuplicateOffset.x, m_DuplicateOffset.y};
    Check(reg.Write("DuplicateOffset", reinterpret_cast<BYTE*>(offset), sizeof offset));
    Check(reg.Write("DeleteDownloadedFiles", m_bDeleteDownloadedFiles));
}

void COptionsManager::ReadGeneralSection()
{
    ReadText("LastOpened", m_strLastOpened);
    ReadText("LastSaved", m_strLastSaved);
    ReadNumber("SaveCompressedData", m_bSaveCompressedData);
    ReadNumber("ShowGrid", m_bShowGrid);
    ReadNumber("AlignToGrid", m_bAlignToGrid);
    ReadNumber("AlignWhenShow", m_bAlignWhenShow);
    ReadDouble("GridMajorSpacing", m_dGridMajorSpacing);
    ReadNumber("GridSubDivPoints", m_nGridSubDivPoints);
    DWORD color = m_clGridColor;
    if (ReadNumber("GridColor", color))
        m_clGridColor = color;
    ReadNumber("GridType", m_nGridType);
    ReadText("BackgroundImages", m_strBackgroundImages);
    ReadText("ExportDirectory", m_strExportDirectory);
    if (m_bSoundsEnabled)
        ReadText("LastOpenedSound", m_strLastOpenedSound);
    if (m_bSitesBarEnabled)
        ReadFlag("TBClosedWithLastDoc", m_bTBClosedWithLastDoc);
    ReadNumber("URLWidth", m_nURLWidth);
    ReadNumber("StatusWidth", m_nStatusWidth);
    ReadNumber("SizeWidth", m_nSizeWidth);
    ReadDouble("PAGridStep", m_dPAGridStep);
    ReadNumber("PAPrintGrid", m_bPAPrintGrid);
    ReadNumber("PAAutoColor", m_bPAAutoColor);
    color = m_clPAColor;
    if (ReadNumber("PAColor", color))
        m_clPAColor = color;
    ReadText("DATFileImagesLocation", m_strDATFileImagesLocation);
    ReadText("DATFilePath", m_strDATFilePath);
    ReadNumber("DetectPrintFeed", m_bDetectPrintFeed);
    ReadText("MeasurementUnits", m_strMeasurementUnits);
    ReadNumber("DefaultDocStyle", m_nDefaultDocStyle);
}

void COptionsManager::WriteGeneralSection()
{
    CRegistry& reg = Registry();
    Check(reg.Write("LastOpened", static_cast<LPCSTR>(m_strLastOpened)));
    Check(reg.Write("LastSaved", static_cast<LPCSTR>(m_strLastSaved)));
    Check(reg.Write("SaveCompressedData", m_bSaveCompressedData));
    Check(reg.Write("ShowGrid", m_bShowGrid));
    Check(reg.Write("AlignToGrid", m_bAlignToGrid));
    Check(reg.Write("AlignWhenShow", m_bAlignWhenShow));
    Check(reg.Write("GridMajorSpacing", m_dGridMajorSpacing));
    Check(reg.Write("GridSubDivPoints", m_nGridSubDivPoints));
    Check(reg.Write("GridColor", static_cast<unsigned long>(m_clGridColor)));
    Check(reg.Write("GridType", m_nGridType));
    Check(reg.Write("BackgroundImages", static_cast<LPCSTR>(m_strBackgroundImages)));
    Check(reg.Write("ExportDirectory", static_cast<LPCSTR>(m_strExportDirectory)));
    if (m_bSoundsEnabled)
        Check(reg.Write("LastOpenedSound", static_cast<LPCSTR>(m_strLastOpenedSound)));
    if (m_bSitesBarEnabled)
        Check(reg.Write("TBClosedWithLastDoc", m_bTBClosedWithLastDoc));
    Check(reg.Write("URLWidth", m_nURLWidth));
    Check(reg.Write("StatusWidth", m_nStatusWidth));
    Check(reg.Write("SizeWidth", m_nSizeWidth));
    Check(reg.Write("PAGridStep", m_dPAGridStep));
    Check(reg.Write("PAPrintGrid", m_bPAPrintGrid));
    Check(reg.Write("PAAutoColor", m_bPAAutoColor));
    Check(reg.Write("PAColor", static_cast<unsigned long>(m_clPAColor)));
    Check(reg.Write("DATFileImagesLocation", static_cast<LPCSTR>(m_strDATFileImagesLocation)));
    Check(reg.Write("DATFilePath", static_cast<LPCSTR>(m_strDATFilePath)));
    Check(reg.Write("DetectPrintFeed", m_bDetectPrintFeed));
    Check(reg.Write("MeasurementUnits", static_cast<LPCSTR>(m_strMeasurementUnits)));
    Check(reg.Write("DefaultDocStyle", m_nDefaultDocStyle));
}

void COptionsManager::ReadAdminGeneralSection()
{
    ReadText("MeasurementUnits", m_strMeasurementUnits);
    ReadFlag("SoundsEnabled", m_bSoundsEnabled);
    ReadFlag("BitmapOnBackEnabled", m_bBitmapOnBackEnabled);
    ReadFlag("SitesBarEnabled", m_bSitesBarEnabled);
    ReadText("TemplatesLocation", m_strTemplatesLocation);
    ReadText("DownloadDirectory", m_strDownloadDirectory);
    ReadNumber("IPEnabled", m_bIPEnabled);
    ReadNumber("ShowIP", m_bShowIP);
    ReadNumber("AlignDistributeEnabled", m_bAlignDistributeEnabled);
    ReadNumber("ShowAlignDistribute", m_bShowAlignDistribute);
    ReadNumber("DefaultDocStyle", m_nDefaultDocStyle);
    ReadText("IPStartupURL", m_strIPStartupURL);
    ReadNumber("FloatingSitesToolbar", m_bFloatingSitesToolbar);
    ReadNumber("DefPrintRangeSelection", m_nDefPrintRangeSelection);
    ReadText("BackgroundImages", m_strBackgroundImages);
    ReadText("DATFileImagesLocation", m_strDATFileImagesLocation);
    ReadText("DATFilePath", m_strDATFilePath);
    ReadNumber("DetectPrintFeed", m_bDetectPrintFeed);
}

void COptionsManager::WriteAdminGeneralSection()
{
    Check(Registry().Write("TemplatesLocation", static_cast<LPCSTR>(m_strTemplatesLocation)));
}

void COptionsManager::ReadPrintingSection()
{
    ReadNumber("PrintBackground", m_bPrintBackground);
    ReadNumber("AskPrinterAdjustment", m_bAskPrinterAdjustment);
}

void COptionsManager::WritePrintingSection()
{
    Check(Registry().Write("PrintBackground", m_bPrintBackground));
    Check(Registry().Write("AskPrinterAdjustment", m_bAskPrinterAdjustment));
}

void COptionsManager::ReadRecentFileList()
{
    if (!m_pRecentFileList)
        return;
    CRecentFileList& list = *m_pRecentFileList;
    const int size = m_nRecentFilesNum < 1 ? 1 : m_nRecentFilesNum;
    if (list.m_nSize != size) {
        CString* names = new CString[static_cast<size_t>(size)];
        for (int i = 0; i < size && i < list.m_nSize; ++i)
            names[i] = list.m_arrNames[i];
        delete[] list.m_arrNames;
        list.m_arrNames = names;
        list.m_nSize = size;
    }
    for (int i = 0; i < size; ++i) {
        CString name;
        name.Format("File%d", i + 1);
        ReadText(name, list.m_arrNames[i]);
    }
}

void COptionsManager::WriteRecentFileList()
{
    if (!m_pRecentFileList)
        return;
    for (int i = 0; i < m_pRecentFileList->m_nSize; ++i) {
        CString name;
        name.Format("File%d", i + 1);
        Check(Registry().Write(name, static_cast<LPCSTR>(m_pRecentFileList->m_arrNames[i])));
    }
}

void COptionsManager::ReadTarnControlsSection(int hive, int level)
{
    const HKEY key = Registry().GetCurrentKey();
    for (DWORD index = 0;; ++index) {
        char name[257] = {};
        DWORD nameSize = sizeof name;
        BYTE data[8192 + 1] = {};
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;  // too long a name or value: not one of ours
        if (IsSupportValue(name))
            continue;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            VC_SetValue(name, reinterpret_cast<const char*>(data), hive, level);
        else if (type == REG_DWORD && dataSize == sizeof(DWORD))
            VC_SetValue(name, *reinterpret_cast<const int*>(data), hive, level);
        else if (type == REG_BINARY)
            VC_SetValue(name, data, static_cast<int>(dataSize), hive, level);
    }
}

void COptionsManager::WriteTarnControlsSection(int hive, int level)
{
    CRegistry& reg = Registry();
    const BYTE scope = static_cast<BYTE>((level & 1) | (hive & 1) << 1);
    for (auto& entry : m_ControlValues) {
        const ControlValue& value = entry.second;
        const char* name = entry.first.c_str();
        if (value.scope != scope || IsSupportValue(name))
            continue;
        if (value.kind == ControlValue::Text) {
            Check(reg.Write(name, static_cast<LPCSTR>(value.text)));
        } else if (value.kind == ControlValue::Number) {
            Check(reg.Write(name, static_cast<unsigned long>(value.number)));
        } else {
            std::vector<BYTE> bytes = value.bytes;
            Check(reg.Write(name, bytes.empty() ? nullptr : bytes.data(), static_cast<UINT>(bytes.size())));
        }
    }
}

void COptionsManager::ReadFavoriteURLList()
{
    const HKEY key = Registry().GetCurrentKey();
    for (DWORD index = 0; index < 7; ++index) {
        char name[257] = {};
        DWORD nameSize = sizeof name;
        char data[2049] = {};
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG result =
            RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || !data[0])
            continue;
        if (index == 0)
            m_FavoriteURLs.clear();
        m_FavoriteURLs[name] = data;
    }
}

void COptionsManager::WriteFavoriteURLList()
{
    for (auto& entry : m_FavoriteURLs)
        Check(Registry().Write(entry.first.c_str(), static_cast<LPCSTR>(entry.second)));
}

void COptionsManager::ReadCPLFileList()
{
    ReadList("CPLFile%d", m_CPLFiles);
}

void COptionsManager::WriteCPLFileList()
{
    WriteList("CPLFile%d", m_CPLFiles);
}

void COptionsManager::ReadMRUFontList()
{
    ReadList("MRUFont%d", m_MRUFonts);
}

void COptionsManager::WriteMRUFontList()
{
    WriteList("MRUFont%d", m_MRUFonts);
}

void COptionsManager::ReadMRUSearchList()
{
    ReadList("MRUSearch%d", m_MRUSearches);
}

void COptionsManager::WriteMRUSearchList()
{
    WriteList("MRUSearch%d", m_MRUSearches);
}
