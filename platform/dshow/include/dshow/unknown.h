#pragma once
// IUnknown, the counted smart pointer ComPtr and the base of every object the
// stand-in and its servers make. Every such object counts in LiveObjects()
// from construction to destruction, so tests can see that nothing leaked.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include <dshow/export.h>
#include <dshow/guid.h>
#include <dshow/hresult.h>

namespace dshow {

// The root of every interface. Each names its identifier kIid; the others
// derive from Interface, which names their parent interface Base as well.
struct IUnknown {
    static constexpr GUID kIid = StandInGuid(0x00000000);

    virtual HRESULT QueryInterface(const GUID& iid, void** out) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// An interface below `Parent`: QueryInterface answers it for its own
// identifier and for its parents'.
template <class Parent, uint32_t IidNumber> struct Interface : Parent {
    static constexpr GUID kIid = StandInGuid(IidNumber);
    using Base = Parent;
};

// A counted reference: copying adds one, destruction releases it.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) { }
    // Adds a reference to `p`.
    explicit ComPtr(T* p) : p_(p)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) { }
    // From a pointer to an implementation or a derived interface.
    template <class U>
    requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& other)
        : ComPtr(static_cast<T*>(other.get()))
    {
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) { }
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already holds.
    static ComPtr Attach(T* p)
    {
        ComPtr result;
        result.p_ = p;
        return result;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out parameters that hand over a reference: releases the old one.
    T** put()
    {
        Reset();
        return &p_;
    }

    void Reset()
    {
        if (T* old = std::exchange(p_, nullptr))
            old->Release();
    }

    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(p_, nullptr); }

    // Interface U of the same object, or null.
    template <class U> ComPtr<U> As() const
    {
        void* raw = nullptr;
        if (!p_ || FAILED(p_->QueryInterface(U::kIid, &raw)))
            return {};
        return ComPtr<U>::Attach(static_cast<U*>(raw));
    }

private:
    T* p_ = nullptr;
};

// The `void**` out parameter of a call that hands out interface T (such as
// QueryInterface); the reference lands in `*target` once the call's full
// expression ends: `object->QueryInterface(IPin::kIid, PutVoid(&pin))`.
template <class T> class VoidOut {
public:
    explicit VoidOut(ComPtr<T>* target) : target_(target) { }
    VoidOut(const VoidOut&) = delete;
    VoidOut& operator=(const VoidOut&) = delete;
    ~VoidOut() { *target_ = ComPtr<T>::Attach(static_cast<T*>(raw_)); }
    operator void**() { return &raw_; }

private:
    ComPtr<T>* target_;
    void* raw_ = nullptr;
};

template <class T> VoidOut<T> PutVoid(ComPtr<T>* target) { return VoidOut<T>(target); }

// Hands over one more reference to `p` through an out parameter.
template <class T> HRESULT CopyOut(T* p, T** out)
{
    if (!out)
        return E_POINTER;
    *out = p;
    if (p)
        p->AddRef();
    return S_OK;
}

class ServerModule;

// The reference count and live-object count of an implementation; it deletes
// itself when the last reference goes. Objects made by a COM server count in
// that server's module too (DllCanUnloadNow).
class DSHOW_API ComObject {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    uint32_t AddRefObject();
    uint32_t ReleaseObject();

protected:
    explicit ComObject(ServerModule* module = nullptr);
    virtual ~ComObject();

    // Hands out interface pointer `p` of this object with one more reference.
    HRESULT Expose(void* p, void** out);

private:
    std::atomic<uint32_t> refs_{0};
    ServerModule* module_;
};

// Objects alive in the process (made by the stand-in or any server).
DSHOW_API long LiveObjects();

template <class I> constexpr bool InterfaceMatches(const GUID& iid)
{
    if (iid == I::kIid)
        return true;
    if constexpr (requires { typename I::Base; })
        return InterfaceMatches<typename I::Base>(iid);
    return false;
}

// Interface I of `object` for the first of `Interfaces` (or their parents)
// that `iid` names; null when none does.
template <class... Interfaces, class Object> void* InterfaceOf(Object* object, const GUID& iid)
{
    void* found = nullptr;
    (void)((found = InterfaceMatches<Interfaces>(iid)
                        ? static_cast<void*>(static_cast<Interfaces*>(object))
                        : nullptr) ||
           ...);
    return found;
}

// QueryInterface of an object that is interface I alone: I or one of its
// parents, with one more reference.
template <class I> HRESULT QueryOnly(I* object, const GUID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!InterfaceMatches<I>(iid))
        return E_NOINTERFACE;
    object->AddRef();
    *out = object;
    return S_OK;
}

// An object implementing `First` and `Others`: QueryInterface answers them and
// their parents; IUnknown is always the one of `First`.
template <class First, class... Others>
class ComBase : public ComObject, public First, public Others... {
public:
    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        void* found = iid == IUnknown::kIid ? static_cast<IUnknown*>(static_cast<First*>(this))
                                            : InterfaceOf<First, Others...>(this, iid);
        return found ? Expose(found, out) : E_NOINTERFACE;
    }
    uint32_t AddRef() override { return AddRefObject(); }
    uint32_t Release() override { return ReleaseObject(); }

protected:
    using ComObject::ComObject;
};

// A new object of class T with one reference.
template <class T, class... Args> ComPtr<T> MakeCom(Args&&... args)
{
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace dshow
