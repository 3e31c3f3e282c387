#include "calc/com/class_factory.h"

#include <atomic>
#include <new>

#include "calc/com/kav_rmln.h"
#include "calc/com/mirvo_objects.h"
#include "calc/com/result_objects.h"
#include "calc/com/server_state.h"

namespace mirvo::com {

namespace {

template <class T, class I>
IUnknown* make() {
    return static_cast<I*>(new T());
}

const TComClass kClasses[] = {
    {CLSID_Mirvo, u"Mirvo", u"", IID_IMirvo, &make<TMirvo, IMirvo>},
    {CLSID_MirvoPortfolio, u"MirvoPortfolio", u"", IID_IMirvoPortfolio, &make<TMirvoPortfolio, IMirvoPortfolio>},
    {CLSID_MirvoResult, u"MirvoResult", u"", IID_IMirvoResult, &make<TMirvoResult, IMirvoResult>},
    {CLSID_MirvoError, u"MirvoError", u"", IID_IMirvoError, nullptr},
    {CLSID_KavRmln, u"KavRmln", u"KavRmln Object", IID_IMirvo, &make<TKavRmln, IMirvo>},
    {CLSID_KavRmlnResult, u"KavRmlnResult", u"KavRmlnResult Object", IID_IMirvoResult,
     &make<TKavRmlnResult, IMirvoResult>},
};

class TClassFactory final : public IClassFactory {
public:
    explicit TClassFactory(const TComClass& c) : FClass(c) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    // A factory is never freed; its references only keep the library loaded.
    ULONG AddRef() override {
        factoryReferenced();
        return ++FRefs;
    }

    ULONG Release() override {
        factoryReleased();
        return --FRefs;
    }

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IUnknown* object = nullptr;
        try {
            object = FClass.create();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }

    HRESULT LockServer(BOOL lock) override {
        lockServer(lock != 0);
        return S_OK;
    }

    const TComClass& comClass() const { return FClass; }

private:
    const TComClass& FClass;
    std::atomic<ULONG> FRefs{0};
};

TClassFactory gFactories[] = {
    TClassFactory(kClasses[0]), TClassFactory(kClasses[1]), TClassFactory(kClasses[2]),
    TClassFactory(kClasses[4]), TClassFactory(kClasses[5]),
};

}  // namespace

std::span<const TComClass> comClasses() { return kClasses; }

std::u16string progIdOf(const TComClass& c) { return u"Mirvo32." + std::u16string(c.name); }

IClassFactory* factoryOf(const CLSID& clsid) {
    for (auto& f : gFactories)
        if (IsEqualGUID(f.comClass().clsid, clsid)) return &f;
    return nullptr;
}

}  // namespace mirvo::com
