#pragma once
// What the stand-in's objects answer to ISpecifyPropertyPages::GetPages.
#include <span>

#include <dshow/property_pages.h>

namespace dshow {

// `pages` copied into task memory as `*out` (an empty list has no memory).
HRESULT PageListOut(std::span<const GUID> pages, CAUUID* out);

// The one page `page` as `*out`.
inline HRESULT PageListOut(const GUID& page, CAUUID* out) { return PageListOut({&page, 1}, out); }

} // namespace dshow
