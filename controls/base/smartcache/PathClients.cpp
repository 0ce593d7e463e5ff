// Path clients: controls attached to this control's path follow its moves and placement, are
// redrawn with it, are saved as indices and attached again after loading, can be handed to another
// owner and become free controls when the owner is deleted. Neither side holds a reference; each
// tells the other when it goes.
#include <cstdio>

#include "ComControlList.h"
#include "RectCtrlSmartCache.h"
#include "tarn/UndoCallRecord.h"

namespace {
// Asks an object for the smart-cache class behind it; the answer carries no reference.
// {3F1B7C22-9A40-4D8E-B0C5-6E2D81A47F10}
const IID IID_SmartCacheImplementation = {0x3f1b7c22, 0x9a40, 0x4d8e, {0xb0, 0xc5, 0x6e, 0x2d, 0x81, 0xa4, 0x7f, 0x10}};

void RemoveFirst(std::vector<IBaseControl*>& list, IBaseControl* item) {
    for (auto it = list.begin(); it != list.end(); ++it)
        if (*it == item) {
            list.erase(it);
            return;
        }
}

template <class T>
void RemoveAll(std::vector<T*>& list, T* item) {
    for (auto it = list.begin(); it != list.end();) it = *it == item ? list.erase(it) : it + 1;
}
}  // namespace

CRectCtrlSmartCache* CRectCtrlSmartCache::Implementation(IUnknown* object) {
    if (!object) return nullptr;
    void* impl = nullptr;
    if (FAILED(object->QueryInterface(IID_SmartCacheImplementation, &impl)) || !impl) return nullptr;
    CRectCtrlSmartCache* found = static_cast<CRectCtrlSmartCache*>(impl);
    found->GetUnknown()->Release();
    return found;
}

HRESULT CRectCtrlSmartCache::QueryImplementation(REFIID iid, void** ppv) {
    if (!IsEqualIID(iid, IID_SmartCacheImplementation)) return E_NOINTERFACE;
    *ppv = this;
    GetUnknown()->AddRef();
    return S_OK;
}

void CRectCtrlSmartCache::DetachFromOwners() {
    IBaseControl* self = static_cast<IBaseControl*>(this);
    for (CRectCtrlSmartCache* owner : owners_) {
        RemoveAll(owner->clients_, self);
    }
    owners_.clear();
}

void CRectCtrlSmartCache::ForgetOwner(CRectCtrlSmartCache* owner) { RemoveAll(owners_, owner); }

void CRectCtrlSmartCache::LinkClient(IBaseControl* client) {
    // A path cannot follow itself (a damaged file may say so): it would move twice with every move.
    if (Implementation(client) == this) return;
    clients_.push_back(client);
    if (CRectCtrlSmartCache* impl = Implementation(client)) impl->owners_.push_back(this);
}

STDMETHODIMP CRectCtrlSmartCache::AttachPathClient(IBaseControl* client, LONG attach) {
    if (!client) return S_OK;  // nothing to attach or detach
    if (attach) {
        LinkClient(client);
    } else {
        const size_t before = clients_.size();
        RemoveFirst(clients_, client);
        if (clients_.size() != before)
            if (CRectCtrlSmartCache* impl = Implementation(client)) {
                for (auto it = impl->owners_.begin(); it != impl->owners_.end(); ++it)
                    if (*it == this) {
                        impl->owners_.erase(it);
                        break;
                    }
            }
    }
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::GetDocData(LONG** rawData) {
    if (!rawData) return E_POINTER;
    *rawData = reinterpret_cast<LONG*>(&path_);
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::ClientMoveBy(tagSizeF offset) { return CRectControlBase::MoveBy(offset); }

STDMETHODIMP CRectCtrlSmartCache::MoveBy(tagSizeF offset) {
    const HRESULT hr = CRectControlBase::MoveBy(offset);
    for (IBaseControl* client : std::vector<IBaseControl*>(clients_)) {
        IRectCtrlSmartCache* cache = nullptr;
        if (SUCCEEDED(client->QueryInterface(IID_IRectCtrlSmartCache, reinterpret_cast<void**>(&cache)))) {
            cache->ClientMoveBy(offset);
            cache->Release();
        }
    }
    return hr;
}

void CRectCtrlSmartCache::OnChanged(bool propertiesChanged) {
    if (propertiesChanged) coverageStale_ = true;
    CShapeControlBase::OnChanged(propertiesChanged);
}

void CRectCtrlSmartCache::OnTransformChanged(const CLinearTransform& old) {
    CRectControlBase::OnTransformChanged(old);
    if (passingTransform_) return;  // a client that owns its owner must not loop
    passingTransform_ = true;
    const CLinearTransform t = transform_;
    for (IBaseControl* client : std::vector<IBaseControl*>(clients_)) {
        IRectangularControl* rect = nullptr;
        if (SUCCEEDED(client->QueryInterface(IID_IRectangularControl, reinterpret_cast<void**>(&rect)))) {
            rect->SetLinearTransformParams(t.XScale, t.YScale, tagPointF{t.XOffset, t.YOffset}, t.RotateAngle,
                                           t.SkewAngle);
            rect->Release();
        }
    }
    passingTransform_ = false;
}

namespace {
// The effect part of a smart-cache control tells its control when the effect changes.
class CCacheEffectPart : public CEffectPart {
public:
    explicit CCacheEffectPart(CRectCtrlSmartCache& owner) : owner_(owner) {}
    void SetEffectNumber(long number) override {
        CEffectPart::SetEffectNumber(number);
        owner_.OnEffectNumberChanged();
    }

private:
    CRectCtrlSmartCache& owner_;
};
}  // namespace

void CRectCtrlSmartCache::UseCacheEffectPart() { effectPart_.reset(new CCacheEffectPart(*this)); }

void CRectCtrlSmartCache::OnEffectNumberChanged() {
    MarkPathChanged();
    coverageStale_ = true;
    if (!clients_.empty()) {
        // A nudge the clients see as a change of placement, so that they follow the warped path.
        const CLinearTransform old = transform_;
        transform_.XOffset += 1.0;
        OnTransformChanged(old);
        transform_.XOffset = old.XOffset;
    }
    OnTransformChanged(transform_);
    SetModified(true);
}

STDMETHODIMP CRectCtrlSmartCache::GetClientControlsList(IUnknown* list) {
    if (!list) return E_POINTER;
    // The list Tarn hands over is its CComControlList, compiled into this server as well.
    CComControlList* controls = static_cast<CComControlList*>(list);
    for (IBaseControl* client : clients_) controls->Add(client, 1);
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::AttachPathClient_Disp(IUnknown* client, LONG attach) {
    CUndoCallRecord undo(this, 2);
    VARIANT who;
    VariantInit(&who);
    V_VT(&who) = VT_UNKNOWN;
    V_UNKNOWN(&who) = client;
    undo.AddArg(who);
    undo.AddArg(static_cast<long>(!attach));
    undo.Fire(L"AttachPathClient_Disp", static_cast<IRectCtrlSmartCacheDispatch*>(this), kCaptionEditPath);
    IBaseControl* control = nullptr;
    if (client) client->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&control));
    const HRESULT hr = AttachPathClient(control, attach);
    if (control) control->Release();
    return hr;
}

STDMETHODIMP CRectCtrlSmartCache::DelegateClientsToCtrl_Disp(IUnknown* newOwner) {
    IRectCtrlSmartCacheDispatch* target = nullptr;
    if (newOwner)
        newOwner->QueryInterface(IID_IRectCtrlSmartCacheDispatch, reinterpret_cast<void**>(&target));
    CUndoCallRecord undo(this, 1);
    VARIANT self;
    VariantInit(&self);
    V_VT(&self) = VT_UNKNOWN;
    V_UNKNOWN(&self) = GetUnknown();
    undo.AddArg(self);
    undo.Fire(L"DelegateClientsToCtrl_Disp", target, 0);
    if (target) target->Release();
    IBaseControl* control = nullptr;
    if (newOwner) newOwner->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&control));
    const HRESULT hr = DelegateClientsToCtrl(control);
    if (control) control->Release();
    return hr;
}

STDMETHODIMP CRectCtrlSmartCache::DelegateClientsToCtrl(IBaseControl* newOwner) {
    if (!newOwner) return E_INVALIDARG;
    std::vector<IRectCtrlSmartCache*> held;
    for (IBaseControl* client : clients_) {
        IRectCtrlSmartCache* cache = nullptr;
        if (SUCCEEDED(client->QueryInterface(IID_IRectCtrlSmartCache, reinterpret_cast<void**>(&cache))))
            held.push_back(cache);
    }
    const std::vector<IBaseControl*> clients = clients_;
    for (auto it = clients.rbegin(); it != clients.rend(); ++it) AttachPathClient_Disp(*it, 0);
    clients_.clear();
    // Clients that can fit themselves to a path (text along a curve) move to the new owner through
    // their own interface; the others stay detached.
    for (IRectCtrlSmartCache* cache : held) cache->Release();
    return S_OK;
}

void CRectCtrlSmartCache::ReleaseClients(ITarnViewEvents* view) {
    const std::vector<IBaseControl*> clients = clients_;
    for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
        IBaseControl* client = *it;
        client->AddRef();
        AttachPathClient_Disp(client, 0);
        IBaseControl* result = nullptr;
        client->ShapeOperation(6, nullptr, 0, 0, &result);
        if (result && view) {
            LONG index = 0;
            view->GetControlIndex(client, &index);
            view->DeleteControlList(&client, 1);
            view->InsertControlList(&result, &index, 1);
        }
        if (result) result->Release();
        client->Release();
    }
    clients_.clear();
}

STDMETHODIMP CRectCtrlSmartCache::ControlDeleted(IBaseControl* control) {
    if (control == static_cast<IBaseControl*>(this)) ReleaseClients(views_.empty() ? nullptr : views_.front()->view);
    return CShapeControlBase::ControlDeleted(control);
}

// Saved client indices ------------------------------------------------------------------------------

HRESULT CRectCtrlSmartCache::SaveProperties(IStream* stream) {
    HRESULT hr = CShapeControlBase::SaveProperties(stream);
    if (FAILED(hr) || !serializer_ || clients_.empty()) return hr;
    IControlSerializer* serializer = nullptr;
    serializer_->QueryInterface(IID_IControlSerializer, reinterpret_cast<void**>(&serializer));
    const long count = static_cast<long>(clients_.size());
    hr = __SaveProp(stream, "nPathClients", &count, sizeof count);
    for (long i = 0; SUCCEEDED(hr) && i < count; ++i) {
        long index = -1;
        if (!serializer || FAILED(serializer->IndexOf(clients_[i], &index))) index = -1;
        char name[32];
        std::snprintf(name, sizeof name, "Client%ld", i);
        hr = __SaveProp(stream, name, &index, sizeof index);
    }
    if (serializer) serializer->Release();
    return hr;
}

HRESULT CRectCtrlSmartCache::LoadProperties(CTarnPropertyBag& bag) {
    long count = 0;
    pendingIndices_.clear();
    if (bag.LoadPropVar("nPathClients", 0, count)) {
        // The stored count only bounds the search: what is kept is what the records hold.
        for (long i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Client%ld", i);
            long index = 0;
            if (!bag.LoadPropVar(name, 0, index)) break;
            pendingIndices_.push_back(index);
        }
    }
    return CShapeControlBase::LoadProperties(bag);
}

STDMETHODIMP CRectCtrlSmartCache::put_Serializer(IUnknown* newVal) {
    if (!newVal && !pendingIndices_.empty() && serializer_) {
        IControlSerializer* serializer = nullptr;
        serializer_->QueryInterface(IID_IControlSerializer, reinterpret_cast<void**>(&serializer));
        for (long index : pendingIndices_) {
            IBaseControl* client = nullptr;
            if (serializer && SUCCEEDED(serializer->ControlAt(index, &client)) && client) {
                LinkClient(client);
                client->Release();
            }
        }
        if (serializer) serializer->Release();
        pendingIndices_.clear();
    }
    return CShapeControlBase::put_Serializer(newVal);
}
