#include <gtest/gtest.h>

#include <dvl/digitizer_module.h>

TEST(DvlModuleLoader, ModuleWhoseEntryDeclinesIsNotLoaded)
{
    dvl::DigitizerModule module;
    EXPECT_EQ(module.Open("DVLREFUSE", "DDZephonIIDigCommandDecoder"), DVL_MODULE_REFUSED);
    EXPECT_FALSE(module.loaded());
    EXPECT_NE(module.error().find("DVLREFUSE.so: module entry refused"), std::string::npos)
        << module.error();
    module.Send(nullptr);
}
