#pragma once
// The property pages without widgets: read from the interface of their
// object, and written back where they differ from it.
#include <dshow/property_frame.h>

namespace dshow {

// Page `clsid` as `object` shows it now: REGDB_E_CLASSNOTREG for a page the
// stand-in does not know, E_NOINTERFACE when `object` lacks its interface.
HRESULT LoadPropertyPage(const GUID& clsid, IUnknown* object, PropertyPage* page);

// Sets on `object` what `page` holds and the object does not: S_OK, or the
// first failure.
HRESULT ApplyPropertyPage(const PropertyPage& page, IUnknown* object);

} // namespace dshow
