#pragma once
// The property frame of the dialog library (dshow_dialogs): one modal Qt
// dialog with a tab per property page, over the objects the pages edit. It
// needs a QApplication and runs on its thread only. The pages are read from
// their object when the frame opens and written back when the user accepts.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <dshow/export.h>
#include <dshow/property_pages.h>

namespace dshow {

// A slider of a page: a property's range and value, with "auto" where the
// device allows it.
struct PageSlider {
    std::wstring label;
    int32_t property = 0; // the property's number
    int32_t min = 0, max = 0, step = 1, default_value = 0;
    int32_t value = 0;
    bool can_auto = false;
    bool automatic = false;
};

// A choice of a page: `options` by name, each setting `values`[i].
struct PageChoice {
    std::wstring label;
    int32_t key = 0; // what the choice sets (a crossbar output)
    std::vector<std::wstring> options;
    std::vector<int32_t> values; // a crossbar input, a stream capability index
    int chosen = -1;             // index into `options`, -1: none
};

struct PropertyPage {
    GUID clsid{};
    std::wstring title;
    std::vector<PageSlider> sliders;
    std::vector<PageChoice> choices;
};

struct PropertyFrame {
    std::wstring caption;
    std::vector<PropertyPage> pages;
};

// Shows the frame over `objects` (the pages read from the first, applied to
// each). `owner`, `locale` and the reserved values are not used; (x, y) is
// the frame's top-left corner. E_FAIL without a QApplication or off its
// thread, REGDB_E_CLASSNOTREG for a page the stand-in does not know,
// E_NOINTERFACE when the object lacks the page's interface, else S_OK once
// the frame is closed (or the failure of applying an accepted page).
DSHOW_API HRESULT OleCreatePropertyFrame(void* owner, uint32_t x, uint32_t y,
                                         const wchar_t* caption, uint32_t object_count,
                                         IUnknown** objects, uint32_t page_count, const GUID* pages,
                                         uint32_t locale, uint32_t reserved,
                                         void* reserved_pointer);

// Test knob: plays the frame in place of the user. It gets the pages as read,
// may change them and answers true for OK (the pages are then applied), false
// for Cancel. Null: the dialog is shown.
DSHOW_API void SetPropertyFrameHook(std::function<bool(PropertyFrame& frame)> hook);

} // namespace dshow
