#include <cstring>
#include <string>

#include "fg_test_support.h"
#include <fgint/fghelpers.h>

namespace {

using HostFunctionsTest = FramegrabberTest;
using PluginContractTest = FramegrabberTest;

TEST_F(HostFunctionsTest, AllocationsAreTrackedByFileAndLineUntilFreed)
{
    void* block = nullptr;
    char* temporary = nullptr;
    ASSERT_EQ(VXAlloc(1, 24, "CIOMock.cpp", 17, FG_ALLOC_ID, &block), FG_SUCCESS);
    ASSERT_EQ(VXAllocTmp(1, &temporary, 5, "CIOMock.cpp", 18), FG_SUCCESS);
    ASSERT_NE(block, nullptr);
    ASSERT_NE(temporary, nullptr);
    std::memcpy(temporary, "temp", 5);

    const std::vector<VXAllocation> live = VXAllocated();
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[0].address, block);
    EXPECT_EQ(live[0].size, 24u);
    EXPECT_EQ(live[0].file, "CIOMock.cpp");
    EXPECT_EQ(live[0].line, 17);
    EXPECT_FALSE(live[0].temporary);
    EXPECT_EQ(live[1].line, 18);
    EXPECT_TRUE(live[1].temporary);

    // Each block is freed only by its own family, and only once.
    EXPECT_EQ(VXFree(1, temporary, "CIOMock.cpp", 20, 0), VERR_FG_FREE);
    EXPECT_EQ(VXFreeTmp(1, block, "CIOMock.cpp", 21), VERR_FG_FREE);
    EXPECT_EQ(VXFreeTmp(1, temporary, "CIOMock.cpp", 22), FG_SUCCESS);
    EXPECT_EQ(VXFree(1, block, "CIOMock.cpp", 23, 0), FG_SUCCESS);
    EXPECT_EQ(VXFree(1, block, "CIOMock.cpp", 24, 0), VERR_FG_FREE);
    int local = 0;
    EXPECT_EQ(VXFree(1, &local, "CIOMock.cpp", 25, 0), VERR_FG_FREE);
    EXPECT_EQ(VXFree(1, nullptr, "CIOMock.cpp", 26, 0), FG_SUCCESS);
    EXPECT_EQ(VXAlloc(1, 8, "CIOMock.cpp", 27, FG_ALLOC_ID, nullptr), VERR_NULL_POINTER);
}

TEST_F(HostFunctionsTest, Global64IsSavedClearedAndRestored)
{
    double value = -1;
    ASSERT_EQ(VAccessGlVar(1, 64, GV_READ_INFO, &value, 0.0, nullptr, nullptr, 0), FG_SUCCESS);
    EXPECT_EQ(value, 1.0);
    ASSERT_EQ(VAccessGlVar(1, 64, GV_WRITE_INFO, nullptr, 0.0, nullptr, nullptr, 0), FG_SUCCESS);
    VImageRecord image{};
    ASSERT_EQ(VNewImage(1, &image, BYTE_IMAGE, 3, 2), FG_SUCCESS);
    ASSERT_EQ(VAccessGlVar(1, 64, GV_WRITE_INFO, nullptr, 1.0, nullptr, nullptr, 0), FG_SUCCESS);
    ASSERT_EQ(VNewImage(1, &image, INT4_IMAGE, 3, 2), FG_SUCCESS) << "replaces the first image";
    EXPECT_EQ(image.kind, INT4_IMAGE);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.pixel.i[i], 0) << "cleared while global 64 is set";
    ASSERT_EQ(VXAllocated().size(), 1u);
    EXPECT_EQ(VXAllocated()[0].size, 24u);
    EXPECT_EQ(VXFree(1, image.owned, "test", 0, 0), FG_SUCCESS);

    EXPECT_EQ(VAccessGlVar(1, 65, GV_READ_INFO, &value, 0.0, nullptr, nullptr, 0), VERR_FG_GLOBAL);
    EXPECT_EQ(VAccessGlVar(1, 64, 2, &value, 0.0, nullptr, nullptr, 0), VERR_FG_GLOBAL);
    EXPECT_EQ(VAccessGlVar(1, 64, GV_READ_INFO, nullptr, 0.0, nullptr, nullptr, 0),
              VERR_NULL_POINTER);
}

TEST_F(HostFunctionsTest, NewImageRefusesWhatItCannotMake)
{
    VImageRecord image{};
    uint8_t pixels[4] = {1, 2, 3, 4};
    EXPECT_EQ(VNewImage(1, &image, 3, 2, 2), VERR_FG_PIXEL_KIND);
    EXPECT_EQ(VNewImage(1, &image, BYTE_IMAGE, 0, 2), VERR_PARAM);
    EXPECT_EQ(VNewImage(1, &image, BYTE_IMAGE, 2, -1), VERR_PARAM);
    EXPECT_EQ(VNewImage(1, nullptr, BYTE_IMAGE, 2, 2), VERR_NULL_POINTER);
    EXPECT_EQ(VNewImagePtr(1, &image, BYTE_IMAGE, 2, 2, nullptr, 0), VERR_NULL_POINTER);
    EXPECT_EQ(image.pixel.p, nullptr);

    ASSERT_EQ(VNewImagePtr(1, &image, BYTE_IMAGE, 2, 2, pixels, 0), FG_SUCCESS);
    EXPECT_EQ(image.pixel.b, pixels);
    EXPECT_EQ(image.owned, nullptr);
    ASSERT_EQ(VNewImagePtr(1, &image, BYTE_IMAGE, 2, 2, pixels, 1), FG_SUCCESS);
    EXPECT_NE(image.pixel.b, pixels);
    EXPECT_EQ(image.pixel.b[3], 4);
    EXPECT_EQ(VXFree(1, image.owned, "test", 0, 0), FG_SUCCESS);
}

TEST_F(HostFunctionsTest, ErrorTextsArePrintedAndWrappedCallsTraced)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(IOPrintErrorMessage("FGGrab error: Bad value for biCompression"), FG_SUCCESS);
    EXPECT_EQ(
        VProcessErr("GrabImg (proc_id, fginst, &pRequest, &requestNr )", 5306, 12, "CIOMock.cpp"),
        FG_SUCCESS);
    VDoLowError = 1;
    EXPECT_EQ(VProcessErr("SetInstParam(fginst)", 5326, 40, "CIOMock.cpp"), FG_SUCCESS);
    VDoLowError = 0;
    EXPECT_EQ(IOSpyProcCall("VFgGetDefaults(proc_id,fgClass,values,numValues)", 7, "CIOMock.cpp"),
              FG_SUCCESS);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "FGGrab error: Bad value for biCompression\n"
              "SetInstParam(fginst) (CIOMock.cpp:40) failed with 5326\n"
              "spy: VFgGetDefaults(proc_id,fgClass,values,numValues) (CIOMock.cpp:7)\n");
    EXPECT_EQ(VROInfo.spy_active, 0);
    EXPECT_EQ(VROInfo.spy_proc_calls, 0);
}

TEST_F(HostFunctionsTest, PluginStatusNumbersHaveTexts)
{
    EXPECT_STREQ(verror_text(FG_ERR_TIMEOUT), "no image within the time-out or image too old");
    EXPECT_STREQ(verror_text(8600), "device library has the wrong version");
    EXPECT_STREQ(verror_text(VERR_FG_NO_PLUGIN), "frame-grabber plug-in not found");
    EXPECT_EQ(FG_ERR_NOT_OPEN, 5300);
    EXPECT_EQ(FG_ERR_PARAM_VALUE, 5326);
    EXPECT_EQ(FG_ERR_NO_MEMORY, 6001);
    EXPECT_EQ(UINT2_IMAGE, 1024);
    EXPECT_EQ(INT4_IMAGE, 2);
}

TEST(FgCopyText, CopiesBoundedAndAlwaysTerminates)
{
    char field[FG_TEXT_LEN];
    const std::string longest(FG_TEXT_LEN - 1, 'a');
    const std::string too_long(FG_TEXT_LEN, 'b');
    EXPECT_EQ(fg_copy_text(field, sizeof field, longest.c_str()), 1);
    EXPECT_EQ(std::string(field), longest);
    EXPECT_EQ(fg_copy_text(field, sizeof field, too_long.c_str()), 0);
    EXPECT_EQ(std::string(field), too_long.substr(0, FG_TEXT_LEN - 1));
    EXPECT_EQ(fg_copy_text(field, sizeof field, nullptr), 1);
    EXPECT_STREQ(field, "");
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(fg_copy_text(small, sizeof small, "kdLyra*"), 0);
    EXPECT_STREQ(small, "kdL");
}

TEST_F(PluginContractTest, UnsupportedQueriesAnswerNoValues)
{
    const FGClass* cls = mock_class();
    for (int32_t query : {7, 13, -1}) {
        const char* text = nullptr;
        Vcpar dummy{};
        Vcpar* values = &dummy;
        int32_t count = -5;
        EXPECT_EQ(cls->FGInfo(1, query, &text, &values, &count), FG_SUCCESS) << query;
        EXPECT_STREQ(text, "Unsupported query!");
        EXPECT_EQ(values, nullptr);
        EXPECT_EQ(count, 0);
    }
}

TEST_F(PluginContractTest, DefaultsAndStringListsAreOneBlockEach)
{
    const FGClass* cls = mock_class();
    for (int32_t query : {FG_INFO_DEFAULTS, FG_INFO_PARAMETERS, FG_INFO_BOARDS}) {
        const char* text = nullptr;
        Vcpar* values = nullptr;
        int32_t count = 0;
        ASSERT_EQ(cls->FGInfo(1, query, &text, &values, &count), FG_SUCCESS);
        ASSERT_EQ(VXAllocated().size(), 1u) << query;
        const auto* begin = reinterpret_cast<const char*>(values);
        const auto* end = begin + VXAllocated()[0].size;
        for (int32_t i = 0; i < count; ++i)
            if (values[i].type == VPAR_STRING) {
                EXPECT_GE(values[i].par.s, begin + count * sizeof(Vcpar));
                EXPECT_LT(values[i].par.s, end);
            }
        EXPECT_EQ(VXFree(1, values, "test", 0, 0), FG_SUCCESS);
        EXPECT_TRUE(VXAllocated().empty());
    }
}

TEST_F(PluginContractTest, DefaultsShowFieldAndTriggerAsTheirTexts)
{
    FGClass cls{};
    cls.field = FG_FIELD_PROGRESSIVE;
    cls.external_trigger = 1;
    cls.gain = 0.5f;
    fg_copy_text(cls.device, sizeof cls.device, "-1");
    Vcpar* values = nullptr;
    int32_t count = 0;
    ASSERT_EQ(VFgGetDefaults(1, &cls, &values, &count), FG_SUCCESS);
    ASSERT_EQ(count, 15);
    EXPECT_STREQ(values[6].par.s, "progressive");
    EXPECT_EQ(values[9].type, VPAR_REAL);
    EXPECT_EQ(values[9].par.f, 0.5);
    EXPECT_STREQ(values[10].par.s, "true");
    EXPECT_STREQ(values[11].par.s, "");
    EXPECT_STREQ(values[12].par.s, "-1");
    EXPECT_EQ(VXFree(1, values, "test", 0, 0), FG_SUCCESS);

    cls.field = 9;
    ASSERT_EQ(VFgGetDefaults(1, &cls, &values, &count), FG_SUCCESS);
    EXPECT_EQ(values[6].type, VPAR_INT);
    EXPECT_EQ(values[6].par.l, 9);
    EXPECT_EQ(VXFree(1, values, "test", 0, 0), FG_SUCCESS);
}

TEST_F(PluginContractTest, SlotAddressIsTheClassSlotOfTheBoundRecord)
{
    FGClass* cls = mock_class();
    FGInstance probe{};
    FGInstance** slot = cls->FGAllocInstance(1, &probe);
    EXPECT_EQ(slot, &cls->instance[0]);
    const long handle = open_mock();
    FGInstance second{};
    EXPECT_EQ(cls->FGAllocInstance(1, &second), &cls->instance[1]);
    EXPECT_EQ(close_framegrabber(handle), V_OK);
}

} // namespace
