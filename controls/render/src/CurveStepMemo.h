#pragma once
// The flattening steps of the curves of one split drawing, kept while its tiles are drawn. Every
// tile of such a drawing walks the same curves from their start; with a curve's step ends at hand a
// tile looks only at the steps near it. An entry answers only a curve with bit for bit the same
// control points and tolerance, whose walk is the same by construction, so nothing kept can serve
// another path wrongly. The store is bounded: a curve that does not fit is walked afresh by each
// tile. It is touched only under the rendering lock.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Where one step of a curve's walk ends.
struct StepEnd {
    double x, y;
};

// Box of the ends of a run of consecutive steps.
struct StepBox {
    double left, top, right, bottom;
};

// The step ends of one curve, with a box for every kStepBlock of them.
struct CurveSteps {
    static constexpr int kStepBlock = 16;
    const StepEnd* ends = nullptr;
    long count = 0;
    const StepBox* boxes = nullptr;   // (count + kStepBlock - 1) / kStepBlock boxes
};

// What identifies a curve's walk: its control points and the tolerance, as bits.
struct CurveKey {
    double values[9];
    bool operator==(const CurveKey& other) const { return std::memcmp(values, other.values, sizeof values) == 0; }
};

class CurveStepMemo {
public:
    // A split drawing begins or ends. Drawings may overlap (each holds the lock only per tile): the
    // store lives while any is open and is emptied when the last one ends.
    void Open()
    {
        if (open_++ == 0) Clear();
    }
    void Close()
    {
        if (open_ > 0 && --open_ == 0) Release();
    }
    bool open() const { return open_ > 0; }

    bool Find(const CurveKey& key, CurveSteps& found) const
    {
        if (slots_.empty()) return false;
        for (std::size_t i = Hash(key) & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
            const int index = slots_[i];
            if (index < 0) return false;
            const Entry& e = entries_[index];
            if (e.key == key) {
                found.ends = ends_.data() + e.firstEnd;
                found.count = e.count;
                found.boxes = boxes_.data() + e.firstBox;
                return true;
            }
        }
    }

    // Keeps a curve's steps (ends and their boxes) unless the store is full.
    void Keep(const CurveKey& key, const std::vector<StepEnd>& ends, const std::vector<StepBox>& boxes)
    {
        if (!open() || entries_.size() >= kEntryLimit || ends_.size() + ends.size() > kEndLimit) return;
        if (slots_.empty()) slots_.assign(kSlots, -1);
        std::size_t i = Hash(key) & (kSlots - 1);
        while (slots_[i] >= 0) {
            if (entries_[slots_[i]].key == key) return;
            i = (i + 1) & (kSlots - 1);
        }
        slots_[i] = static_cast<int>(entries_.size());
        entries_.push_back({key, ends_.size(), boxes_.size(), static_cast<long>(ends.size())});
        ends_.insert(ends_.end(), ends.begin(), ends.end());
        boxes_.insert(boxes_.end(), boxes.begin(), boxes.end());
    }

private:
    // At most half the slots are taken, so a probe always meets an empty one.
    static constexpr std::size_t kEntryLimit = 1 << 13;
    static constexpr std::size_t kSlots = 1 << 14;
    static constexpr std::size_t kEndLimit = 1 << 18;   // 4 MB of step ends

    struct Entry {
        CurveKey key;
        std::size_t firstEnd, firstBox;
        long count;
    };

    static std::size_t Hash(const CurveKey& key)
    {
        std::uint64_t h = 1469598103934665603ULL;
        unsigned char bytes[sizeof key.values];
        std::memcpy(bytes, key.values, sizeof bytes);
        for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ULL;
        return static_cast<std::size_t>(h ^ (h >> 32));
    }

    void Clear()
    {
        entries_.clear();
        ends_.clear();
        boxes_.clear();
        if (!slots_.empty()) slots_.assign(kSlots, -1);
    }

    // Nothing is held between drawings.
    void Release()
    {
        std::vector<Entry>().swap(entries_);
        std::vector<StepEnd>().swap(ends_);
        std::vector<StepBox>().swap(boxes_);
        std::vector<int>().swap(slots_);
    }

    std::vector<Entry> entries_;
    std::vector<StepEnd> ends_;
    std::vector<StepBox> boxes_;
    std::vector<int> slots_;   // entry index, -1 empty
    int open_ = 0;
};
