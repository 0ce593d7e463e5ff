#include "UndoManager.h"

#include <algorithm>
#include <climits>

CUndoManager::CUndoManager() = default;

CUndoManager::~CUndoManager()
{
    delete m_group;
    for (CUndoData* record : m_undo)
        delete record;
    for (CUndoData* record : m_redo)
        delete record;
}

bool CUndoManager::CanUndo(const char** caption) const
{
    if (m_undo.empty())
        return false;
    if (caption)
        *caption = m_undo.front()->GetCaption();
    return true;
}

bool CUndoManager::CanRedo(const char** caption) const
{
    if (m_redo.empty())
        return false;
    if (caption)
        *caption = m_redo.front()->GetCaption();
    return true;
}

void CUndoManager::Discard(CUndoData* record)
{
    if (record == m_running)
        m_runningDiscarded = true;
    else
        delete record;
}

void CUndoManager::Trim(RecordList& list, size_t size, CUndoManager& owner)
{
    while (list.size() > size) {
        CUndoData* oldest = list.back();
        list.pop_back();
        owner.Discard(oldest);
    }
}

bool CUndoManager::RemoveFrom(RecordList& list, CUndoData* record)
{
    const auto it = std::find(list.begin(), list.end(), record);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

void CUndoManager::AddItem(CUndoData* record)
{
    if (!record)
        return;
    if (!m_group) {
        if (record->GetType() != UDT_GroupOpen) {
            _AddItem(record);
            return;
        }
        m_group = new CUndoData();
        m_group->SetCaption(record->GetCaption());
    }
    m_group->Add(record);
    if (record->GetType() == UDT_GroupOpen)
        ++m_groupDepth;
    else if (record->GetType() == UDT_GroupClose)
        --m_groupDepth;
    if (m_groupDepth <= 0) {
        m_groupDepth = 0;
        CUndoData* finished = m_group;
        m_group = nullptr;
        if (finished->IsGroupUndoData())
            _AddItem(finished);
        else
            delete finished;
    }
}

void CUndoManager::_AddItem(CUndoData* record)
{
    if (m_undoExecuting) {
        record->SetCaption(m_executingCaption);
        if (m_redoMax > 0)
            Trim(m_redo, static_cast<size_t>(m_redoMax) - 1, *this);
        m_redo.push_front(record);
        Trim(m_redo, static_cast<size_t>(m_redoMax), *this);
        m_undoExecuting = false;
        return;
    }
    if (!m_redoExecuting)
        ClearRedoStack();
    if (m_undoMax > 0)
        Trim(m_undo, static_cast<size_t>(m_undoMax) - 1, *this);
    m_undo.push_front(record);
    Trim(m_undo, static_cast<size_t>(m_undoMax), *this);
    ++m_changes;
}

HRESULT CUndoManager::ExecuteUndoInformation(CUndoData& record)
{
    return record.Execute();
}

void CUndoManager::UndoRecord(CUndoData* record)
{
    m_executingId = record->GetId();
    m_executingCaption = record->GetCaption();
    m_running = record;
    m_runningDiscarded = false;
    m_undoExecuting = true;
    ExecuteUndoInformation(*record);
    m_undoExecuting = false;
    m_running = nullptr;
    m_executingCaption = nullptr;
    // The replay may have added records of its own to the undo list: the replayed record is found
    // by identity, not by position.
    RemoveFrom(m_undo, record);
    delete record;
}

void CUndoManager::Undo(bool execute)
{
    if (m_undo.empty())
        return;
    CUndoData* record = m_undo.front();
    if (execute) {
        UndoRecord(record);
    } else {
        m_undo.pop_front();
        delete record;
    }
    --m_changes;
}

void CUndoManager::RedoRecord(CUndoData* record)
{
    RemoveFrom(m_redo, record);
    m_executingId = record->GetId();
    m_redoExecuting = true;
    ExecuteUndoInformation(*record);
    m_redoExecuting = false;
    delete record;
}

void CUndoManager::Redo(bool execute)
{
    if (m_redo.empty())
        return;
    CUndoData* record = m_redo.front();
    if (execute) {
        RedoRecord(record);
    } else {
        m_redo.pop_front();
        delete record;
    }
}

unsigned long CUndoManager::SetMaxSize(unsigned long size)
{
    const int previous = m_undoMax;
    const int limited = size > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    m_undoMax = limited;
    m_redoMax = limited;
    Trim(m_undo, static_cast<size_t>(limited), *this);
    Trim(m_redo, static_cast<size_t>(limited), *this);
    return static_cast<unsigned long>(previous);
}

void CUndoManager::ClearUndoStack()
{
    RecordList records;
    records.swap(m_undo);
    for (CUndoData* record : records)
        Discard(record);
}

void CUndoManager::ClearRedoStack()
{
    if (!m_redoClearedMarks.empty())
        m_redoClearedMarks.back() = true;
    RecordList records;
    records.swap(m_redo);
    for (CUndoData* record : records)
        Discard(record);
}

void CUndoManager::_AddUndoItem(CUndoData* record)
{
    if (!record)
        return;
    if (m_undoMax > 0)
        Trim(m_undo, static_cast<size_t>(m_undoMax) - 1, *this);
    m_undo.push_front(record);
    Trim(m_undo, static_cast<size_t>(m_undoMax), *this);
}

void CUndoManager::_AddRedoItem(CUndoData* record)
{
    if (!record)
        return;
    if (m_redoMax > 0)
        Trim(m_redo, static_cast<size_t>(m_redoMax) - 1, *this);
    m_redo.push_front(record);
    Trim(m_redo, static_cast<size_t>(m_redoMax), *this);
}

int CUndoManager::RemoveItem(int undoList, int id)
{
    RecordList& list = undoList ? m_undo : m_redo;
    const auto it = std::find_if(list.begin(), list.end(), [id](CUndoData* r) { return r->GetId() == id; });
    if (it == list.end())
        return 0;
    CUndoData* target = *it;
    // Only the records that were newer than the target when asked are replayed; records that the
    // replays themselves add are left alone, so the walk always ends.
    const std::vector<CUndoData*> newer(list.begin(), it);
    int executed = 0;
    for (CUndoData* record : newer) {
        if (std::find(list.begin(), list.end(), record) == list.end())
            continue;
        if (undoList) {
            UndoRecord(record);
            --m_changes;
        } else {
            RedoRecord(record);
        }
        ++executed;
    }
    if (RemoveFrom(list, target))
        delete target;
    return executed;
}

void CUndoManager::RemoveItem_NoPop(int undoList, int id)
{
    RecordList& list = undoList ? m_undo : m_redo;
    const auto it = std::find_if(list.begin(), list.end(), [id](CUndoData* r) { return r->GetId() == id; });
    if (it == list.end())
        return;
    CUndoData* record = *it;
    list.erase(it);
    Discard(record);
    --m_changes;
}

void CUndoManager::MarkRedoStackAsNotCleared()
{
    m_redoClearedMarks.push_back(false);
}

void CUndoManager::Redo(int count)
{
    if (!m_redoClearedMarks.empty()) {
        const bool cleared = m_redoClearedMarks.back();
        m_redoClearedMarks.pop_back();
        if (cleared)
            return;
    }
    for (int i = 0; i < count; ++i)
        Redo(true);
}
