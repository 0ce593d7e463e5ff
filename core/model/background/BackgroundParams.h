#pragma once
// The values of a page background: printable rectangle, margins and their colour, print flags,
// picture layout, and the two drawing controls that paint the fill and the picture.
#include <windows.h>

#include <vector>

#include "Persistent.h"
#include "RectF.h"
#include "TarnApi.h"

struct IBaseControl;
class CTarnPropertyBag;

// How the picture of a background is laid over the sheet.
enum ImageLayout : int {
    kImageNone = 0,
    kImageTiled = 1,
    kImageCentered = 2,
    kImageStretched = 3,
};

constexpr double kDefaultPageWidth = 8.5;
constexpr double kDefaultPageHeight = 11.0;
constexpr double kDefaultMargin = 1.0;
constexpr double kDefaultShadowSize = 0.25;

class TARN_API CBackgroundParams : public CPersistent {
    DECLARE_DYNCREATE(CBackgroundParams)
public:
    CBackgroundParams();
    ~CBackgroundParams() override;

    virtual COLORREF GetMarginsColor();
    virtual BOOL CanPrintOutline();
    virtual HRESULT LoadControlProperties(CTarnPropertyBag* bag);
    virtual HRESULT SaveControlProperties(IStream* stream);

    void Duplicate(const CPersistent* source) override;
    HRESULT OnPropSave(IStream* stream) override;
    HRESULT OnPropLoad(CTarnPropertyBag* bag) override;
    bool Equal(const CPersistent& other) const override;

    // Takes over the reference of control (may be null); releases the one it held.
    void SetFillControl(IBaseControl* control);
    void SetImageControl(IBaseControl* control);
    // Ignores invalidations and keeps no coverage cache: the fill is redrawn for every request.
    void TuneFillControl();

    CRectF m_margins;
    CRectF m_rect;
    int m_useWindowColor = 0;
    int m_color = 0xFFFFFF;
    int m_printBackground = 0;
    int m_printOutline = 1;
    int m_masterKind = 0;
    double m_shadowSize = kDefaultShadowSize;
    int m_imageType = kImageNone;
    double m_imageWidth = 1.0;
    double m_imageHeight = 1.0;
    int m_keepAspectRatio = 1;
    IBaseControl* m_fillControl = nullptr;
    IBaseControl* m_imageControl = nullptr;
    // A control record that could not become a control here (its class is missing, say) is kept
    // as it was read and written back unchanged, so the card loses nothing; a control set in its
    // place replaces it.
    std::vector<BYTE> m_keptFillRecord;
    std::vector<BYTE> m_keptImageRecord;
};

// The bytes of a control saved with its class identifier, as one record's data.
TARN_API HRESULT SaveControlRecord(IStream* stream, const char* name, IBaseControl* control);
// A control re-created from one record's data; null when the bytes do not make one.
TARN_API IBaseControl* LoadControlRecord(const void* data, ULONG size);
