#pragma once
#include <deque>
#include <vector>

#include "ClObject.h"
#include "TarnApi.h"
#include "UndoData.h"

// Undo and redo lists of recorded calls with a common maximum size, group collection, the mark of
// the saved state and the primitives of layout undo. Every site owns one.
class TARN_API CUndoManager : public CObject {
public:
    CUndoManager();
    ~CUndoManager() override;
    CUndoManager(const CUndoManager&) = delete;
    CUndoManager& operator=(const CUndoManager&) = delete;

    bool CanUndo(const char** caption = nullptr) const;
    bool CanRedo(const char** caption = nullptr) const;
    // Replays (when execute) and drops the newest undo record; the replayed call's own record
    // becomes the newest redo record.
    void Undo(bool execute);
    // Replays (when execute) and drops the newest redo record.
    void Redo(bool execute);
    // Takes ownership of a new record; group markers collect the records between them.
    void AddItem(CUndoData* record);
    virtual void _AddItem(CUndoData* record);
    virtual HRESULT ExecuteUndoInformation(CUndoData& record);

    // Sets both maximum sizes, trims both lists from their oldest end and returns the previous
    // undo maximum.
    unsigned long SetMaxSize(unsigned long size);
    void ClearUndoStack();
    void ClearRedoStack();
    bool HasOriginalState() const { return m_changes == 0; }
    void SetOriginalState() { m_changes = 0; }
    int GetChangeCount() const { return m_changes; }
    void _AddUndoItem(CUndoData* record);
    void _AddRedoItem(CUndoData* record);

    // Layout undo: replays the records newer than the one with that id, then drops it unplayed;
    // returns how many were replayed (0 when the id is on neither list).
    int RemoveItem(int undoList, int id);
    // Drops the record with that id unplayed and counts one change less.
    void RemoveItem_NoPop(int undoList, int id);
    void MarkRedoStackAsNotCleared();
    // Replays count redo records unless the redo list was cleared since the last mark.
    void Redo(int count);

    size_t GetUndoCount() const { return m_undo.size(); }
    size_t GetRedoCount() const { return m_redo.size(); }
    // Records newest first (index 0); null outside the list.
    CUndoData* GetUndoRecord(size_t index) const { return index < m_undo.size() ? m_undo[index] : nullptr; }
    CUndoData* GetRedoRecord(size_t index) const { return index < m_redo.size() ? m_redo[index] : nullptr; }

protected:
    bool IsUndoExecuting() const { return m_undoExecuting; }
    bool IsRedoExecuting() const { return m_redoExecuting; }

private:
    typedef std::deque<CUndoData*> RecordList;

    // Deletes a record that left its list, unless it is the one being replayed: that one is
    // deleted by the replay when it ends.
    void Discard(CUndoData* record);
    static void Trim(RecordList& list, size_t size, CUndoManager& owner);
    // Replays one record of the undo list and removes exactly that record afterwards.
    void UndoRecord(CUndoData* record);
    void RedoRecord(CUndoData* record);
    static bool RemoveFrom(RecordList& list, CUndoData* record);

    int m_changes = 0;
    bool m_undoExecuting = false;
    RecordList m_undo;
    int m_undoMax = 2147483647;
    RecordList m_redo;
    int m_redoMax = 2147483647;
    bool m_redoExecuting = false;
    std::vector<bool> m_redoClearedMarks;
    CUndoData* m_group = nullptr;
    int m_groupDepth = 0;
    int m_executingId = 0;
    const char* m_executingCaption = nullptr;
    CUndoData* m_running = nullptr;     // the record being replayed
    bool m_runningDiscarded = false;    // it left its list while it ran
};
