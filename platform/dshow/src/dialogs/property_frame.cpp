#include <dshow/property_frame.h>

#include <QApplication>
#include <QThread>
#include <mutex>
#include <new>
#include <span>

#include "property_frame_dialog.h"
#include "property_page_model.h"

namespace dshow {
namespace {

std::mutex g_hook_mutex;
std::function<bool(PropertyFrame&)> g_hook;

bool OnGuiThread()
{
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

HRESULT ShowAndApply(const wchar_t* caption, std::span<IUnknown* const> objects,
                     std::span<const GUID> pages, int x, int y)
{
    if (objects.empty() || pages.empty())
        return E_INVALIDARG;
    for (IUnknown* object : objects)
        if (!object)
            return E_POINTER;
    if (!OnGuiThread())
        return E_FAIL;
    PropertyFrame frame;
    frame.caption = caption ? caption : L"";
    for (const GUID& clsid : pages) {
        PropertyPage page;
        if (const HRESULT hr = LoadPropertyPage(clsid, objects[0], &page); FAILED(hr))
            return hr;
        frame.pages.push_back(std::move(page));
    }
    std::function<bool(PropertyFrame&)> hook;
    {
        std::lock_guard guard(g_hook_mutex);
        hook = g_hook;
    }
    if (!(hook ? hook(frame) : RunPropertyFrameDialog(frame, x, y)))
        return S_OK;
    for (const PropertyPage& page : frame.pages)
        for (IUnknown* object : objects)
            if (const HRESULT hr = ApplyPropertyPage(page, object); FAILED(hr))
                return hr;
    return S_OK;
}

// No exception leaves a COM call.
HRESULT Present(const wchar_t* caption, std::span<IUnknown* const> objects,
                std::span<const GUID> pages, int x, int y)
{
    try {
        return ShowAndApply(caption, objects, pages, x, y);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT PresentDeviceFrame(const wchar_t* caption, IUnknown* object, uint32_t count,
                           const GUID* pages)
{
    if (!pages && count)
        return E_POINTER;
    IUnknown* const objects[] = {object};
    return Present(caption, objects, {pages, count}, 0, 0);
}

// Devices show their own dialogs (the Video for Windows ones) through this
// library while it is loaded.
struct PresenterRegistration {
    PresenterRegistration() { SetFramePresenter(&PresentDeviceFrame); }
    ~PresenterRegistration() { SetFramePresenter(nullptr); }
    PresenterRegistration(const PresenterRegistration&) = delete;
    PresenterRegistration& operator=(const PresenterRegistration&) = delete;
};

const PresenterRegistration g_registration;

} // namespace

HRESULT OleCreatePropertyFrame(void*, uint32_t x, uint32_t y, const wchar_t* caption,
                               uint32_t object_count, IUnknown** objects, uint32_t page_count,
                               const GUID* pages, uint32_t, uint32_t, void*)
{
    if ((!objects && object_count) || (!pages && page_count))
        return E_POINTER;
    return Present(caption, {objects, object_count}, {pages, page_count}, int(x), int(y));
}

void SetPropertyFrameHook(std::function<bool(PropertyFrame& frame)> hook)
{
    std::lock_guard guard(g_hook_mutex);
    g_hook = std::move(hook);
}

} // namespace dshow
