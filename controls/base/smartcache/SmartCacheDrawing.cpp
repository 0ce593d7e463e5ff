// Cached rendering: each view keeps the coverage of the control's last rendering; a redraw after a
// whole-pixel move repaints it with the current fill and renders only the strips newly exposed.
// Coverage is kept in canvas pixels (device pixels less the canvas offset); the work bitmap the
// canvas hands out may start elsewhere, at `shift` pixels from the canvas origin.
#include <cmath>
#include <cstring>
#include <vector>

#include "RectCtrlSmartCache.h"
#include "ScopedLock.h"
#include "render/CoverageMaskList.h"
#include "render/FillInfo.h"

namespace {
const CoverageMaskNode kEndNode{0, 0, 0, 0, 0, 0, 0};

// Bytes of the nodes from `list` up to (not including) its end node, at most `limit`.
size_t NodesLength(const unsigned char* list, size_t limit) {
    size_t at = 0;
    while (at + sizeof(CoverageMaskNode) <= limit) {
        CoverageMaskNode node;
        std::memcpy(&node, list + at, sizeof node);
        if (node.count <= 0) return at;
        at += static_cast<size_t>(CoverageNodeBytes(node));
    }
    return limit;
}

void MoveNodes(unsigned char* list, size_t length, int dx, int dy, RECT& united) {
    for (size_t at = 0; at + sizeof(CoverageMaskNode) <= length;) {
        CoverageMaskNode node;
        std::memcpy(&node, list + at, sizeof node);
        node.left += dx, node.right += dx, node.top += dy, node.bottom += dy;
        std::memcpy(list + at, &node, sizeof node);
        if (node.kind != CoverageRaster) {
            unsigned char* entries = list + at + sizeof node;
            for (int i = 0; i < node.count; ++i) {
                CoverageMaskEntry e;
                std::memcpy(&e, entries + 6 * i, 6);
                e.x = static_cast<std::int16_t>(e.x + dx);
                e.y = static_cast<std::int16_t>(e.y + dy);
                std::memcpy(entries + 6 * i, &e, 6);
            }
        }
        const RECT r{node.left, node.top, node.right, node.bottom};
        if (!IsRectEmpty(&r)) UnionRect(&united, &united, &r);
        at += static_cast<size_t>(CoverageNodeBytes(node));
    }
}

RECT Moved(RECT r, int dx, int dy) {
    OffsetRect(&r, dx, dy);
    return r;
}

bool SameLinearPart(const CAffineMatrix& a, const CAffineMatrix& b) {
    return a.m[0] == b.m[0] && a.m[1] == b.m[1] && a.m[3] == b.m[3] && a.m[4] == b.m[4];
}
}  // namespace

CRITICAL_SECTION& SmartCacheLock() {
    static CCriticalSectionObject holder;
    return holder.lock;
}

unsigned char* SmartCacheScratch() {
    static std::vector<unsigned char> buffer(kScratchBytes);
    return buffer.data();
}

void CSmartCacheViewData::FreeCoverage() {
    if (coverage) HeapFree(GetProcessHeap(), 0, coverage);
    coverage = nullptr;
}

CControlViewData* CRectCtrlSmartCache::CreateViewData(ITarnViewEvents* view) { return new CSmartCacheViewData(view); }

CSmartCacheViewData* CRectCtrlSmartCache::CacheRecord(ITarnViewEvents* view) {
    if (!view) return &ownRecord_;
    return static_cast<CSmartCacheViewData*>(FindViewData(view, true));
}

void CRectCtrlSmartCache::FreeCaches() {
    for (CControlViewData* record : views_) {
        CSmartCacheViewData* cache = static_cast<CSmartCacheViewData*>(record);
        cache->FreeCoverage();
        cache->cached = RECT{0, 0, 0, 0};
    }
    ownRecord_.FreeCoverage();
    ownRecord_.cached = RECT{0, 0, 0, 0};
    coverageStale_ = false;
    MarkPathChanged();
    colorPart_->FreeCache();
}

STDMETHODIMP CRectCtrlSmartCache::EnableCache(LONG newVal) {
    if (newVal == 0) FreeCaches();
    cacheEnabled_ = newVal == 1;
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::CacheEnabled() { return cacheEnabled_ ? S_OK : S_FALSE; }

STDMETHODIMP CRectCtrlSmartCache::FreeTemporaryData() { return S_OK; }

bool CRectCtrlSmartCache::PrepareStrokeFill(FillInfo& fill, const tagDrawOptions& options) {
    return colorPart_->PrepareStroke(fill, deviceScale_, options.bThumbnail != 0);
}

// Drawing ----------------------------------------------------------------------------------------

STDMETHODIMP CRectCtrlSmartCache::Draw(tagDrawOptions* options) {
    if (!options) return E_POINTER;
    if (!visible_) return S_OK;
    if (state_ == kStateFresh) return CRectControlBase::Draw(options);
    CScopedLock lock(SmartCacheLock());
    ITarnCanvas* canvas = options->m_Canvas;
    long* bitmap = nullptr;
    POINT offset{0, 0}, work{0, 0};
    if (!canvas || FAILED(canvas->GetWorkLeadBitmap(&bitmap)) || !bitmap || FAILED(canvas->GetOffset(&offset)) ||
        FAILED(canvas->GetWorkOffset(&work)))
        return S_OK;
    passShift_ = POINT{offset.x - work.x, offset.y - work.y};
    passBitmap_ = reinterpret_cast<ImagingBitmap*>(bitmap);
    if (IsPathModified()) {
        FreeCaches();
        RebuildPath(false);
    }
    if (MakeDevicePath(*options) != S_OK) return S_OK;
    PrepareGradients(*options);
    passRecord_ = CacheRecord(options->m_pCallingView);
    const int renderAll = PrepareCachedDraw(*options);
    if (renderAll == 0 && previewMode_) return S_OK;
    if (BeginRenderPass() || devicePath_.Count() == 0) {
        EndRenderPass(*options);
        return S_OK;
    }
    DrawTiles(*options, passBitmap_, passShift_);
    return S_OK;
}

void CRectCtrlSmartCache::DrawTiles(const tagDrawOptions& options, ImagingBitmap* bitmap, POINT shift) {
    FillInfo fill, stroke;
    colorPart_->PrepareFill(fill);
    const bool hasStroke = PrepareStrokeFill(stroke, options);
    const double k = deviceScale_;
    // The device path is in canvas pixels; the engine draws in the work bitmap's.
    if (shift.x != 0 || shift.y != 0)
        for (int i = 0; i < devicePath_.Count(); ++i)
            for (int s = 0; s < devicePath_[i].segmentCount; ++s) {
                SegmentDesc& seg = devicePath_[i].segments[s];
                seg.pt1.x += shift.x, seg.pt1.y += shift.y;
                seg.pt2.x += shift.x, seg.pt2.y += shift.y;
                seg.pt3.x += shift.x, seg.pt3.y += shift.y;
            }
    HANDLE stop = previewMode_ ? reinterpret_cast<HANDLE>(options.hStopEvent) : nullptr;
    bool stopped = false;
    RECT tile;
    for (int t = 0; !stopped && GetTileRect(t, &tile) == 0; ++t) {
        tile = Moved(tile, shift.x, shift.y);
        for (int i = 0; i < devicePath_.Count(); ++i) {
            if (stop && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
                stopped = true;
                break;
            }
            const CHeapArrayItem& item = devicePath_[i];
            if (item.segmentCount <= 0) continue;
            const tagRectF& b = path_[i].strokeBounds;
            const RECT bounds{static_cast<LONG>(std::floor(k * b.left)) - deviceOrigin_.x + shift.x - 2,
                              static_cast<LONG>(std::floor(k * b.top)) - deviceOrigin_.y + shift.y - 2,
                              static_cast<LONG>(std::ceil(k * b.right)) - deviceOrigin_.x + shift.x + 2,
                              static_cast<LONG>(std::ceil(k * b.bottom)) - deviceOrigin_.y + shift.y + 2};
            RECT meet;
            if (!IntersectRect(&meet, &bounds, &tile)) continue;
            for (int pass = 0; pass < (hasStroke ? 2 : 1); ++pass) {
                RECT clip = tile;
                unsigned char* node = GetScratchNode();
                const int written = engine_->drawPolyBezierTiled(
                    bitmap, &clip, item.segments, item.segmentCount, node,
                    node ? SmartCacheScratch() + scratchSize_ : nullptr, pass == 0 ? &fill : &stroke,
                    options.bHighestQuality, colorPart_->closed ? 1 : 0);
                // The pixels are drawn, but the record is incomplete: no cache for this control.
                if (node && written < 0) EnableCache(0);
            }
        }
        colorPart_->FreeCache();
    }
    if (stopped) {
        passRecord_->FreeCoverage();
        passRecord_->cached = RECT{0, 0, 0, 0};
        return;
    }
    EndRenderPass(options);
}

int CRectCtrlSmartCache::PrepareCachedDraw(const tagDrawOptions& options) {
    const POINT offset = deviceOrigin_;
    const RECT update = Moved(options.UpdateRect, -offset.x, -offset.y);
    if (!cacheEnabled_ || options.Printer) {
        tiles_[0] = update;
        tileCount_ = 1;
        return 1;
    }
    CSmartCacheViewData& record = *passRecord_;
    ITarnCanvas* canvas = options.m_Canvas;
    lastRect_ = canvas->IsCurrentRectTheLastOne() == S_FALSE;
    CAffineMatrix m;
    transform_.ToMatrix(m);
    const double k = deviceScale_;
    const double tx = k * m.m[2] - record.scale * record.matrix.m[2];
    const double ty = k * m.m[5] - record.scale * record.matrix.m[5];
    const long ix = std::lround(tx), iy = std::lround(ty);
    RECT clip{0, 0, 0, 0};
    canvas->GetClippingBounds(&clip);
    clip = Moved(clip, -offset.x, -offset.y);
    RECT visible;
    if (!IntersectRect(&visible, &clip, &update)) visible = RECT{0, 0, 0, 0};

    int answer = 1;
    const bool usable = std::fabs(tx - ix) < 0.01 && std::fabs(ty - iy) < 0.01 && SameLinearPart(m, record.matrix) &&
                        k == record.scale && record.coverage;
    if (usable) {
        const int dx = static_cast<int>(ix + record.offset.x - offset.x);
        const int dy = static_cast<int>(iy + record.offset.y - offset.y);
        if (engine_->offsetClipMaskList(&record.coverage, dx, dy, clip)) {
            OffsetRect(&record.cached, dx, dy);
            IntersectRect(&record.cached, &record.cached, &clip);
            RECT reuse;
            FillInfo paint, stroke;
            colorPart_->PrepareFill(paint);
            if (PrepareStrokeFill(stroke, options)) paint.OutlineColor = stroke.OutlineColor;
            if (IntersectRect(&reuse, &record.cached, &visible))
                engine_->fillMaskRuns(passBitmap_, record.coverage, reuse, passShift_.x, passShift_.y, &paint);
            colorPart_->FreeCache();
            tileCount_ = engine_->subtractRect4(visible, record.cached, tiles_);
            answer = 0;
        }
    }
    if (answer == 1) {
        record.FreeCoverage();
        record.cached = RECT{0, 0, 0, 0};
        tiles_[0] = visible;
        tileCount_ = IsRectEmpty(&visible) ? 0 : 1;
    }
    record.matrix = m;
    record.scale = k;
    record.offset = offset;
    return answer;
}

bool CRectCtrlSmartCache::BeginRenderPass() {
    if (!cacheEnabled_) return tileCount_ < 1;
    scratchUsed_ = 0;
    scratchAtStart_ = true;
    if (tileCount_ < 1) colorPart_->FreeCache();
    return tileCount_ < 1;
}

int CRectCtrlSmartCache::GetTileRect(int i, RECT* rect) {
    if (i < 0 || i >= tileCount_ || !rect) return 1;
    *rect = tiles_[i];
    return 0;
}

unsigned char* CRectCtrlSmartCache::GetScratchNode() {
    if (!cacheEnabled_) return nullptr;
    unsigned char* base = SmartCacheScratch();
    if (!scratchAtStart_) scratchUsed_ += NodesLength(base + scratchUsed_, scratchSize_ - scratchUsed_);
    if (scratchUsed_ > scratchNodeLimit_ || scratchUsed_ + sizeof(CoverageMaskNode) > scratchSize_) {
        // The pass would not fit: draw on without a cache.
        EnableCache(0);
        return nullptr;
    }
    std::memcpy(base + scratchUsed_, &kEndNode, sizeof kEndNode);
    scratchAtStart_ = false;
    return base + scratchUsed_;
}

void CRectCtrlSmartCache::EndRenderPass(const tagDrawOptions& options) {
    if (!cacheEnabled_ || options.Printer || !passRecord_) return;
    colorPart_->FreeCache();
    unsigned char* base = SmartCacheScratch();
    if (!scratchAtStart_) scratchUsed_ += NodesLength(base + scratchUsed_, scratchSize_ - scratchUsed_);
    const size_t written = scratchAtStart_ ? 0 : scratchUsed_;
    MoveNodes(base, written, -passShift_.x, -passShift_.y, accumulated_);
    CSmartCacheViewData& record = *passRecord_;
    if (lastRect_) {
        UnionRect(&record.cached, &record.cached, &accumulated_);
        accumulated_ = RECT{0, 0, 0, 0};
        lastRect_ = false;
    }
    if (written == 0) return;
    HANDLE heap = GetProcessHeap();
    const size_t kept = record.coverage ? NodesLength(static_cast<unsigned char*>(record.coverage),
                                                      HeapSize(heap, 0, record.coverage))
                                        : 0;
    const size_t total = kept + written + sizeof(CoverageMaskNode);
    void* block = record.coverage ? HeapReAlloc(heap, 0, record.coverage, total) : HeapAlloc(heap, 0, total);
    if (!block) {
        record.FreeCoverage();
        record.cached = RECT{0, 0, 0, 0};
        return;
    }
    unsigned char* bytes = static_cast<unsigned char*>(block);
    std::memcpy(bytes + kept, base, written);
    std::memcpy(bytes + kept + written, &kEndNode, sizeof kEndNode);
    record.coverage = block;
}
