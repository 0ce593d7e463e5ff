#pragma once
#include "ClArchive.h"
#include "ClCollTempl.h"
#include "ClException.h"
#include "TarnApi.h"
#include "geometry/PointF.h"
#include "geometry/SegmentDesc.h"

// The outline of one site on a page. Copies share the segments; the container owns them.
struct SiteContour {
    CPointF position;
    SegmentDesc* segments;
    int count;
};

// The archive form is the entries' bytes as they are in memory; no file keeps it. Segment pointers
// read back would point nowhere, so a loaded entry has no segments.
inline void SerializeElements(CArchive& ar, SiteContour* elements, int count)
{
    for (int i = 0; i < count; ++i) {
        if (ar.IsStoring()) {
            ar.Write(&elements[i], sizeof(SiteContour));
        } else {
            if (ar.Read(&elements[i], sizeof(SiteContour)) != sizeof(SiteContour))
                AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
            elements[i].segments = nullptr;
            elements[i].count = 0;
        }
    }
}

// The contours of the sites of a page; frees the segment arrays (allocated with new[]) of its
// entries.
class TARN_API CSitesContours : public CArray<SiteContour, const SiteContour&> {
public:
    CSitesContours() = default;
    ~CSitesContours() override;
    CSitesContours(const CSitesContours&) = delete;
    CSitesContours& operator=(const CSitesContours&) = delete;

    void Clear();
};
