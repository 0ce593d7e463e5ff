#include "UndoData.h"

#include <cstring>

#include "DispParams.h"

int CUndoData::m_last_id = 0;

namespace {

char* DuplicateText(const char* text)
{
    if (!text)
        return nullptr;
    const size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

}  // namespace

CUndoData::CUndoData() : m_id(++m_last_id) {}

CUndoData::CUndoData(const char* caption, const wchar_t* method, const DISPPARAMS* arguments, IDispatch* target,
                     int extraReference, int argumentForm, tagUndoDataType type)
    : m_id(++m_last_id)
{
    CopyCall(caption, method, arguments, target, argumentForm, type);
    m_extraReference = (target && extraReference) ? 1 : 0;
}

CUndoData::CUndoData(const tagUndoData* data) : m_id(++m_last_id)
{
    if (!data)
        return;
    CopyCall(data->Description, data->Method, data->Arguments, data->Target, data->ArgumentForm,
             static_cast<tagUndoDataType>(data->Type));
    m_extraReference = (data->Target && data->ExtraReference) ? 1 : 0;
}

CUndoData::CUndoData(const CUndoData* other)
{
    if (!other) {
        m_id = ++m_last_id;
        return;
    }
    ++m_last_id;
    CopyCall(other->m_caption, other->m_method, &other->m_arguments, other->m_target, other->m_argumentForm,
             other->m_type);
    m_id = other->m_id;
}

void CUndoData::CopyCall(const char* caption, const wchar_t* method, const DISPPARAMS* arguments,
                         IDispatch* target, int argumentForm, tagUndoDataType type)
{
    m_caption = DuplicateText(caption);
    m_method = method ? SysAllocString(method) : nullptr;
    m_argumentForm = argumentForm;
    CopyDispParams(&m_arguments, arguments, argumentForm);
    m_target = target;
    if (m_target)
        m_target->AddRef();
    m_type = type;
}

CUndoData::~CUndoData()
{
    if (m_group) {
        delete m_nested;
        for (CUndoData* child : *m_group)
            delete child;
        delete m_group;
    } else {
        if (m_target) {
            m_target->Release();
            if (m_extraReference)
                m_target->Release();
        }
        FreeDispParams(&m_arguments, m_argumentForm);
        SysFreeString(m_method);
    }
    delete[] m_caption;
}

void CUndoData::SetCaption(const char* caption)
{
    char* copy = DuplicateText(caption);
    delete[] m_caption;
    m_caption = copy;
}

HRESULT CUndoData::Execute()
{
    if (m_group) {
        for (CUndoData* child : *m_group) {
            const HRESULT hr = child->Execute();
            if (hr != S_OK)
                return hr;
        }
        return S_OK;
    }
    if (!m_method)
        return S_OK;  // a group marker carries no call
    if (!m_target)
        return E_POINTER;
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR name = m_method;
    HRESULT hr = m_target->GetIDsOfNames(IID_NULL, &name, 1, 0x0800, &dispid);
    if (FAILED(hr))
        return hr;
    return m_target->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &m_arguments, nullptr, nullptr, nullptr);
}

void CUndoData::Add(CUndoData* child)
{
    if (!child)
        return;
    if (!m_group)
        m_group = new std::list<CUndoData*>;
    if (m_depth == 0) {
        m_group->push_front(child);
        m_depth = 1;
        return;
    }
    if (m_depth == 1) {
        if (child->m_type != UDT_GroupOpen) {
            m_group->push_front(child);
            if (child->m_type == UDT_GroupClose)
                m_depth = 0;
            return;
        }
        m_nested = new CUndoData();
        m_nested->SetCaption(child->m_caption);
        m_nested->Add(child);
        m_depth = 2;
        return;
    }
    m_nested->Add(child);
    if (child->m_type == UDT_GroupOpen)
        ++m_depth;
    else if (child->m_type == UDT_GroupClose)
        --m_depth;
    if (m_depth == 1) {
        CUndoData* finished = m_nested;
        m_nested = nullptr;
        if (finished->IsGroupUndoData())
            m_group->push_front(finished);
        else
            delete finished;
    }
}

bool CUndoData::IsGroupUndoData() const
{
    if (!m_group)
        return false;
    if (m_group->size() == 2 && m_group->front()->m_type == UDT_GroupClose)
        return false;
    return true;
}

IDispatch* CUndoData::GetTarget() const
{
    if (m_group)
        return m_group->empty() ? nullptr : m_group->back()->GetTarget();
    return m_target;
}
