#pragma once
// The record's wanted type taking over a type the device offers.
#include "record.h"
#include <dshow/media_type.h>

namespace directshow {

// `type` (a video type whose format block is `format`) into `wanted_type`
// and `wanted_format`, biSize 40; the format block stays the record's own.
void AdoptMediaType(const dshow::AM_MEDIA_TYPE& type, const dshow::VIDEOINFOHEADER& format,
                    CIODirectShow* record);

} // namespace directshow
