#pragma once
// Appends CoverageMaskList nodes to a caller's buffer without ever writing past its end: room for
// the closing head is always kept, and a node that does not fit is dropped and the writer marked
// full, so the caller learns that its record is incomplete. Entries hold 16-bit columns and rows:
// a pixel beyond them cannot be recorded, and is treated the same way rather than wrapped.
#include <cstdint>
#include <cstring>
#include <limits>

#include "render/CoverageMaskList.h"

class CoverageNodeWriter {
public:
    // begin null: nothing is recorded.
    CoverageNodeWriter(unsigned char* begin, const unsigned char* limit)
        : begin_(begin), limit_(limit), cursor_(begin)
    {
        if (begin_ && (!limit_ || limit_ - begin_ < static_cast<long>(sizeof(CoverageMaskNode)))) {
            full_ = true;
            begin_ = cursor_ = nullptr;
        }
        Terminate();
    }

    bool recording() const { return begin_ != nullptr; }
    bool full() const { return full_; }

    void BeginNode(std::int32_t kind)
    {
        nodeOpen_ = recording();
        nodeCount_ = 0;
        nodeKind_ = kind;
        write_ = cursor_ + sizeof(CoverageMaskNode);
    }

    void Entry(int x, int y, std::uint16_t value)
    {
        if (!nodeOpen_) return;
        const int last = (value & kCoverageRunFlag) ? x + (value & 0x7FFF) - 1 : x;
        if (!Fits16(x) || !Fits16(last) || !Fits16(y)) {
            Abandon();
            return;
        }
        if (!Room(sizeof(CoverageMaskEntry))) return;
        CoverageMaskEntry e{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), value};
        std::memcpy(write_, &e, sizeof e);
        write_ += sizeof e;
        ++nodeCount_;
    }

    void Run(int x, int y, int length)
    {
        while (length > 0) {
            const int part = length > 0x7FFF ? 0x7FFF : length;
            Entry(x, y, static_cast<std::uint16_t>(kCoverageRunFlag | part));
            x += part;
            length -= part;
        }
    }

    // Raw coverage bytes of a raster node (bytes, width x height).
    void Raster(const std::uint8_t* bytes, int count)
    {
        if (!nodeOpen_) return;
        const int units = count / 6 + 1;
        if (!Room(static_cast<long>(units) * 6)) return;
        std::memcpy(write_, bytes, count);
        std::memset(write_ + count, 0, units * 6 - count);
        write_ += units * 6;
        nodeCount_ = units;
    }

    // Finishes the open node; it is kept only when it has entries.
    void EndNode(int left, int top, int right, int bottom, bool sorted)
    {
        if (!nodeOpen_) return;
        nodeOpen_ = false;
        if (nodeCount_ == 0) return;
        CoverageMaskNode head{left, top, right, bottom, nodeCount_, sorted ? 1 : 0, nodeKind_};
        std::memcpy(cursor_, &head, sizeof head);
        cursor_ = write_;
        Terminate();
    }

    // Bytes of complete nodes written so far (the closing head not counted).
    int BytesWritten() const { return recording() ? static_cast<int>(cursor_ - begin_) : 0; }

private:
    static bool Fits16(int v)
    {
        return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
    }

    // The open node cannot be recorded whole: it is dropped (the list still ends after the last
    // complete node) and the record reported incomplete.
    void Abandon()
    {
        full_ = true;
        nodeOpen_ = false;
    }

    bool Room(long bytes)
    {
        // Keep space for the closing head after this node.
        if (limit_ - write_ < bytes + static_cast<long>(sizeof(CoverageMaskNode))) {
            Abandon();
            return false;
        }
        return true;
    }

    void Terminate()
    {
        if (!cursor_) return;
        CoverageMaskNode end{0, 0, 0, 0, 0, 0, 0};
        std::memcpy(cursor_, &end, sizeof end);
    }

    unsigned char* begin_;
    const unsigned char* limit_;
    unsigned char* cursor_;
    unsigned char* write_ = nullptr;
    std::int32_t nodeCount_ = 0;
    std::int32_t nodeKind_ = 0;
    bool nodeOpen_ = false;
    bool full_ = false;
};
