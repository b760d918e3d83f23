#include <vector>

#include "info_cases.h"
#include "twain_test_support.h"

namespace {

using TwainParameterTest = TwainTest;
using TwainInfoTest = TwainTest;

const char* const kNegotiationFailed = "GetCapValue error: Capability negotiation failed\n";
const char* const kRequestFailed = "FGGetParam error: Requesting capability failed\n";

TEST_F(TwainParameterTest, CurrentValuesComeFromEveryContainerKindTheSourceAnswers)
{
    struct Case {
        TW_UINT16 kind;
        FGstatus status;
        std::string text;
    };
    const Case cases[] = {
        {TWON_ONEVALUE, FG_SUCCESS, ""},
        {TWON_ENUMERATION, FG_SUCCESS, ""},
        {TWON_RANGE, FG_SUCCESS, ""},
        {TWON_ARRAY, FG_ERR_GET_FAILED,
         std::string("GetCapValue error: ConType not supported at the moment\n") + kRequestFailed},
        {99, FG_ERR_GET_FAILED,
         std::string("GetCapValue error: Your driver delivered a bad ConType value\n") +
             kRequestFailed},
    };
    for (const Case& c : cases) {
        twsim::SourceConfig config;
        config.containers = {{ICAP_XRESOLUTION, c.kind}, {ICAP_UNITS, c.kind}};
        twsim::Configure({config});
        FGInstance& i = Opened();
        FGstatus status = 0;
        std::string value;
        EXPECT_EQ(Printed([&] { value = Get(i, "xresolution", &status); }), c.text) << c.kind;
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(value, c.status == FG_SUCCESS ? "100.00" : "");
        EXPECT_EQ(Get(i, "units", &status), c.status == FG_SUCCESS ? "inches" : "");
        Close(i);
    }
    FGInstance& i = Opened();
    twsim::FailTriplet(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, TWRC_FAILURE, TWCC_BADCAP);
    FGstatus status = 0;
    EXPECT_EQ(Printed([&] { Get(i, "gamma", &status); }),
              std::string(kNegotiationFailed) + "condition code = TWCC_BADCAP\n" + kRequestFailed);
    EXPECT_EQ(status, FG_ERR_GET_FAILED);
}

TEST_F(TwainParameterTest, RefusedSetsSayWhyAndFail)
{
    FGInstance& i = Opened();
    const std::string set_failed = "SetCapValue error: DG_CONTROL/DAT_CAPABILITY/MSG_SET failed\n";
    struct Case {
        const char* name;
        Vcpar value;
        TW_UINT16 rc;
        TW_UINT16 cc;
        std::string text;
    };
    const Case cases[] = {
        {"brightness", Int(10), TWRC_FAILURE, TWCC_BADVALUE,
         set_failed + "condition code =  TWCC_BADVALUE\n"
                      "FGSetParam error: Setting capability failed\n"},
        {"gamma", Real(1.0), TWRC_FAILURE, TWCC_SEQERROR,
         set_failed + "condition code =  TWCC_SEQERROR\n"
                      "FGSetParam error: Setting capability failed\n"},
        {"lightpath", Text("transmissive"), TWRC_FAILURE, TWCC_LOWMEMORY,
         set_failed + "Source delivered an unknown condition code\n"
                      "FGSetParam error: Light path could not be set on your device!\n"},
        {"xfermech", Text("file"), TWRC_CHECKSTATUS, TWCC_SUCCESS,
         "FGSetParam error: Setting ICAP_XFERMECH failed\n"},
    };
    for (const Case& c : cases) {
        twsim::FailTriplet(DG_CONTROL, DAT_CAPABILITY, MSG_SET, c.rc, c.cc);
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Set(i, c.name, c.value); }), c.text) << c.name;
        EXPECT_EQ(status, FG_ERR_SET_FAILED) << c.name;
    }
    EXPECT_EQ(Get(i, "xfermech"), "native");
    twain::FailGlobalAlloc(1);
    FGstatus status = 0;
    EXPECT_EQ(Printed([&] { status = Set(i, "shadow", Int(1)); }),
              "SetCapValue error: GlobalAlloc for container failed\n"
              "FGSetParam error: Setting capability failed\n");
    EXPECT_EQ(status, FG_ERR_SET_FAILED);
}

TEST_F(TwainParameterTest, ParametersCheckTypeThenRangeAndReadBack)
{
    FGInstance& i = Opened();
    const fg::SetCase cases[] = {
        {"bitdepth", Int(16), FG_SUCCESS, "16"},
        {"bitdepth", Int(0), FG_ERR_PARAM_VALUE, "16"},
        {"bitdepth", Real(8.0), FG_ERR_PARAM_TYPE, "16"},
        {"brightness", Int(1500), FG_ERR_PARAM_VALUE, "0.00"},
        {"brightness", Text("bright"), FG_ERR_PARAM_TYPE, "0.00"},
        {"brightness", Real(-250.5), FG_SUCCESS, "-250.50"},
        {"contrast", Int(1000), FG_SUCCESS, "1000.00"},
        {"gamma", Real(1.8), FG_SUCCESS, "1.80"},
        {"highlight", Int(256), FG_ERR_PARAM_VALUE, "255.00"},
        {"shadow", Int(12), FG_SUCCESS, "12.00"},
        {"lightpath", Text("transmissive"), FG_SUCCESS, "transmissive"},
        {"lightpath", Text("opaque"), FG_ERR_PARAM_VALUE, "transmissive"},
        {"lightpath", Text(nullptr), FG_ERR_PARAM_TYPE, "transmissive"},
        {"pixeltype", Text("gray"), FG_SUCCESS, "gray"},
        {"pixeltype", Int(1), FG_ERR_PARAM_TYPE, "gray"},
        {"units", Text("centimeters"), FG_SUCCESS, "centimeters"},
        {"xresolution", Real(100.0), FG_SUCCESS, "100.00"},
        {"xresolution", Int(0), FG_ERR_PARAM_VALUE, "100.00"},
        {"yresolution", Int(40), FG_SUCCESS, "40.00"},
        {"xscaling", Real(0.5), FG_SUCCESS, "0.50"},
        {"yscaling", Real(-1.0), FG_ERR_PARAM_VALUE, "1.00"},
        {"xfermech", Text("memory"), FG_SUCCESS, "memory"},
        {"userinterface", Text("hide"), FG_SUCCESS, "hide"},
        {"userinterface", Text("maybe"), FG_ERR_PARAM_VALUE, "hide"},
        {"userinterface", Text("show"), FG_SUCCESS, "show"},
        {"userinterface", Text(nullptr), FG_ERR_PARAM_TYPE, "show"},
        {"xnativeresolution", Int(300), FG_ERR_PARAM_UNKNOWN, "236.22"},
        {"ynativeresolution", Int(300), FG_ERR_PARAM_UNKNOWN, "236.22"},
        {"physicalwidth", Real(1.0), FG_ERR_PARAM_UNKNOWN, "21.59"},
        {"physicalheight", Real(1.0), FG_ERR_PARAM_UNKNOWN, "27.94"},
        {"revision", Text("3"), FG_ERR_PARAM_UNKNOWN, "2.5 beta"},
    };
    ExpectSets(i, cases);
    EXPECT_EQ(Set(i, "exposure", Int(1)), FG_ERR_PARAM_UNKNOWN);
    EXPECT_EQ(GetStatus(i, "exposure"), FG_ERR_PARAM_UNKNOWN);
}

TEST_F(TwainInfoTest, TheQueriesAnswerTheirTexts)
{
    for (const InfoCase& c : kInfoCases)
        EXPECT_EQ(Answer(cls_, c.query), c.answer) << c.query;
    const char* info = nullptr;
    Vcpar* values = nullptr;
    int32_t count = 0;
    ASSERT_EQ(cls_.FGInfo(1, FG_INFO_DEFAULTS, &info, &values, &count), FG_SUCCESS);
    EXPECT_STREQ(info, "Default values (as used for open_framegrabber).");
    EXPECT_EQ(count, 15);
    EXPECT_STREQ(values[12].par.s, "interactive");
    VXFree(1, values, __FILE__, __LINE__, 0);
}

} // namespace
