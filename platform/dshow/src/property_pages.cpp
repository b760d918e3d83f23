#include "property_page_list.h"

#include <atomic>
#include <cstring>

#include <dshow/com.h>

namespace dshow {
namespace {

std::atomic<FramePresenter> g_presenter{nullptr};

} // namespace

void SetFramePresenter(FramePresenter presenter) { g_presenter = presenter; }

HRESULT PresentFrame(const wchar_t* caption, IUnknown* object, uint32_t count, const GUID* pages)
{
    const FramePresenter presenter = g_presenter;
    return presenter ? presenter(caption, object, count, pages) : E_FAIL;
}

HRESULT PageListOut(std::span<const GUID> pages, CAUUID* out)
{
    if (!out)
        return E_POINTER;
    *out = {0, nullptr};
    if (pages.empty())
        return S_OK;
    auto* list = static_cast<GUID*>(CoTaskMemAlloc(pages.size_bytes()));
    if (!list)
        return E_OUTOFMEMORY;
    std::memcpy(list, pages.data(), pages.size_bytes());
    *out = {uint32_t(pages.size()), list};
    return S_OK;
}

} // namespace dshow
