#include <gtest/gtest.h>

#include <utility>

#include <verodyn/operators.h>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>

namespace {

using Mode = std::pair<bool, bool>; // give_error, father

Mode Current() { return {check_give_error(), check_father()}; }

TEST(CheckModeScope, EveryScopeGivesBackTheModeItFound)
{
    for (Mode outer :
         {Mode{true, true}, Mode{false, true}, Mode{true, false}, Mode{false, false}}) {
        set_check(outer.first ? "give_error" : "~give_error");
        set_check(outer.second ? "father" : "~father");
        {
            QuietLibrary quiet;
            {
                CheckModeScope anyFather("~father");
                QuietLibrary nested;
                EXPECT_EQ(Current(), Mode(false, false));
            }
            EXPECT_EQ(Current(), Mode(false, outer.second));
        }
        EXPECT_EQ(Current(), outer);
        try {
            CheckModeScope anyFather("~father");
            copy_image(Vobject(), nullptr);
        } catch (const VException&) {
        }
        EXPECT_EQ(Current(), outer);
    }
    set_check("give_error");
    set_check("father");
}

TEST(CheckModeScope, MakeImageFromPlanesAnswersFalseInsteadOfThrowing)
{
    PlaneBuffers missing;
    missing.width = missing.height = 2;
    missing.channels = 1;
    Vobject image;
    EXPECT_FALSE(MakeImageFromPlanes(missing, &image));
    EXPECT_TRUE(image.empty());
    EXPECT_TRUE(check_give_error());
}

} // namespace
