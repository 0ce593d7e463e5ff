#pragma once
#include <windows.h>
#include <oaidl.h>

#include <list>

#include "ClObject.h"
#include "TarnApi.h"
#include "TarnControls.h"  // tagUndoData, tagUndoDataType

// One undoable change as the call that reverts it: a method of the target's dispatch interface,
// called by name with a private copy of its arguments. A record without target, method and
// arguments but with children is a group; its children are kept newest first.
class TARN_API CUndoData : public CObject {
public:
    CUndoData();
    // Copies caption, method name and arguments and takes one reference on the target. With
    // extraReference nonzero the record also takes over the caller's reference to the target.
    CUndoData(const char* caption, const wchar_t* method, const DISPPARAMS* arguments, IDispatch* target,
              int extraReference, int argumentForm, tagUndoDataType type);
    explicit CUndoData(const tagUndoData* data);
    // A copy of another record's call with the same id; no children. The copy holds its own single
    // reference on the target whatever the original owns.
    explicit CUndoData(const CUndoData* other);
    ~CUndoData() override;
    CUndoData(const CUndoData&) = delete;
    CUndoData& operator=(const CUndoData&) = delete;

    // Invokes the method on the target; a group runs its children newest first and stops at the
    // first failure. Markers and empty records do nothing.
    HRESULT Execute();
    // Collects one record of a group under construction (see the manager's AddItem).
    void Add(CUndoData* child);
    // A group with something between its markers.
    bool IsGroupUndoData() const;
    // The target; for a group the target of its oldest child.
    IDispatch* GetTarget() const;

    const char* GetCaption() const { return m_caption; }
    void SetCaption(const char* caption);
    BSTR GetMethod() const { return m_method; }
    const DISPPARAMS& GetArguments() const { return m_arguments; }
    tagUndoDataType GetType() const { return m_type; }
    int GetId() const { return m_id; }
    // Children, newest first; null for a plain record.
    const std::list<CUndoData*>* GetChildren() const { return m_group; }

    static int m_last_id;

private:
    void CopyCall(const char* caption, const wchar_t* method, const DISPPARAMS* arguments, IDispatch* target,
                  int argumentForm, tagUndoDataType type);

    char* m_caption = nullptr;
    BSTR m_method = nullptr;
    DISPPARAMS m_arguments = {};
    IDispatch* m_target = nullptr;
    int m_extraReference = 0;
    int m_argumentForm = 1;
    tagUndoDataType m_type = UDT_Plain;
    std::list<CUndoData*>* m_group = nullptr;
    CUndoData* m_nested = nullptr;
    int m_depth = 0;
    int m_id = 0;
};
