#pragma once
// A pin of a capture card's analogue connections (crossbar, tuner): it takes
// and offers one major type, analogue video or audio, with no format.
#include <string>

#include <dshow/base_filter.h>

namespace dshow::sim {

class AnalogPin : public BasePin {
public:
    AnalogPin(BaseFilter& filter, std::wstring name, PIN_DIRECTION direction, const GUID& major)
        : BasePin(filter, std::move(name), direction), major_(major)
    {
    }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override
    {
        return type.majortype == major_ ? S_OK : S_FALSE;
    }

    HRESULT GetMediaType(int position, MediaType* type) override
    {
        if (position != 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = MediaType();
        type->majortype = major_;
        return S_OK;
    }

private:
    GUID major_;
};

} // namespace dshow::sim
