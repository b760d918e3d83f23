// The info queries of VFGTwain and parVFGTwain, and their answers as
// "info|value,value...".
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <fgint/fgint.h>
#include <verodyn/framegrabber.h>

struct InfoCase {
    int32_t query;
    std::string answer;
    std::string parallel; // parVFGTwain's, where it differs
};

inline const std::string kUnsupported = "Unsupported query!|";

inline const InfoCase kInfoCases[] = {
    {0, "Entry for port parameter is ignored.|", "Entry for port parameter is ignored.|"},
    {1,
     "Value list for camera type parameter: Operation mode (interactive or manual).|"
     "interactive,interactive:inches,interactive:centimeters,interactive:picas,"
     "interactive:points,interactive:twips,interactive:pixels,inches,centimeters,picas,"
     "points,twips,pixels",
     ""},
    {2, "Verodyn interface for TWAIN devices.|", ""},
    {4,
     "Additional parameters for this frame grabber.|bitdepth,brightness,contrast,gamma,"
     "highlight,lightpath,physicalheight,physicalwidth,pixeltype,revision,shadow,units,"
     "userinterface,xfermech,xnativeresolution,xresolution,ynativeresolution,yresolution,"
     "xscaling,yscaling",
     ""},
    {5, "Info about installed TWAIN devices.|", ""},
    {6, "Current interface revision.|2.5 beta", "Current interface revision.|2.4"},
    {7, kUnsupported, kUnsupported},
    {8, "Entry for field parameter is ignored.|", kUnsupported},
    {9, "Value list for bits per channel parameter.|-1,1,8", kUnsupported},
    {10,
     "Value list for color space parameter.|none,bw,gray,rgb,palette,cmy,cmyk,yuv,yuvk,"
     "ciexyz",
     kUnsupported},
    {11, "Entry for external trigger parameter is ignored.|", kUnsupported},
    {12, "Value list for device parameter.|interactive,automatic", kUnsupported},
    {13, kUnsupported, kUnsupported},
    {-1, kUnsupported, kUnsupported},
};

// The answer of `query` as "info|value,value...".
inline std::string Answer(const FGClass& cls, int32_t query)
{
    const char* info = nullptr;
    Vcpar* values = nullptr;
    int32_t count = -1;
    EXPECT_EQ(cls.FGInfo(1, query, &info, &values, &count), FG_SUCCESS) << query;
    std::string text = std::string(info) + "|";
    for (int32_t n = 0; n < count; ++n)
        text += (n ? "," : "") + (values[n].type == VPAR_STRING ? std::string(values[n].par.s)
                                                                : std::to_string(values[n].par.l));
    VXFree(1, values, __FILE__, __LINE__, 0);
    return text;
}
