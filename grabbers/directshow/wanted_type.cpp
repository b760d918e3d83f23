#include "wanted_type.h"

namespace directshow {

void AdoptMediaType(const dshow::AM_MEDIA_TYPE& type, const dshow::VIDEOINFOHEADER& format,
                    CIODirectShow* record)
{
    dshow::AM_MEDIA_TYPE& adopted = record->wanted_type;
    adopted.majortype = type.majortype;
    adopted.subtype = type.subtype;
    adopted.bFixedSizeSamples = type.bFixedSizeSamples;
    adopted.bTemporalCompression = type.bTemporalCompression;
    adopted.lSampleSize = type.lSampleSize;
    adopted.formattype = type.formattype;
    record->wanted_format = format;
    record->wanted_format.bmiHeader.biSize = sizeof(dshow::BITMAPINFOHEADER);
}

} // namespace directshow
