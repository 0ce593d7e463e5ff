#pragma once
// The sheet behind a site's controls: it keeps its parameters, answers the site's questions
// about the sheet's size and outline, and stores itself as an archived object of the site.
#include <initializer_list>

#include "BackgroundParams.h"
#include "ClArchive.h"
#include "ClCmdTarget.h"
#include "SegmentDesc.h"
#include "TileImageCache.h"

class CTarnSite;

class TARN_API CTarnBackground : public CCmdTarget {
    DECLARE_SERIAL(CTarnBackground)
public:
    CTarnBackground();
    ~CTarnBackground() override;

    void Serialize(CArchive& ar) override;

    virtual void InitNew();
    virtual CBackgroundParams* CreateBackgroundParams();
    virtual RECT GetExtraDrawArea();
    virtual CRectF GetBoundingRect(int withMargins);
    virtual CPointF GetCenterPos(int withMargins);
    virtual void SetMaster(CTarnSite* site, int kind);
    // New page size and margins (inches): the printable rectangle follows.
    virtual void ProcessPageSetupData(double pageWidth, double pageHeight, const CRectF& margins);
    // A new segment array (the caller frees it with delete[]): the sheet's outline, with the two
    // centre lines when asked. Returns the number of records.
    virtual int GetContourLines(SegmentDesc*& out, int withCentreLines);
    virtual COLORREF SetSolidFillColor(COLORREF color);
    virtual void InvalidateCache();
    // Creates the fill and picture controls, initialised and visible. A control whose class is
    // not available stays absent; the answer is the first failure.
    virtual HRESULT InitializeBkParams();
    virtual void Duplicate(const CTarnBackground& other);

    // Undoable setters: each records the call that puts the old values back with the master
    // site, then changes the parameters.
    void SetColor(long color, BOOL useWindowColor);
    void SetImageLayout(long type, double width, double height, BOOL keepAspectRatio);
    void SetPrintBackground(BOOL on);
    void SetPrintOutline(BOOL on);

    CBackgroundParams* GetParams() const { return m_params; }
    CTarnSite* GetMaster() const { return m_master; }
    CTileImageCache& GetTileCache() { return m_tileCache; }

    CTarnBackground(const CTarnBackground&) = delete;
    CTarnBackground& operator=(const CTarnBackground& other)
    {
        Duplicate(other);
        return *this;
    }

protected:
    DECLARE_DISPATCH_MAP()

private:
    void EnsureParams();
    // Hands the master site the call (arguments in call order) that reverts a change.
    void RecordUndo(unsigned captionId, const wchar_t* method, std::initializer_list<VARIANT> arguments);

    CBackgroundParams* m_params = nullptr;
    CTarnSite* m_master = nullptr;
    CTileImageCache m_tileCache;
};

// Creates a control by class in-process, initialised as new and visible; null when unavailable.
TARN_API IBaseControl* CreateInitialisedControl(REFCLSID clsid, HRESULT* result = nullptr);
