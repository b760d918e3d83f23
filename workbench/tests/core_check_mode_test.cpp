#include <gtest/gtest.h>

#include <verodyn/operators.h>

#include "plane_buffers.h"
#include "quiet_library.h"

namespace {

struct Mode {
    bool giveError;
    bool father;
    bool operator==(const Mode&) const = default;
};

Mode Current() { return {check_give_error(), check_father()}; }

void Set(Mode m)
{
    set_check(m.giveError ? "give_error" : "~give_error");
    set_check(m.father ? "father" : "~father");
}

TEST(CheckModeScope, EveryScopeGivesBackTheModeItFound)
{
    for (Mode outer :
         {Mode{true, true}, Mode{false, true}, Mode{true, false}, Mode{false, false}}) {
        Set(outer);
        {
            QuietLibrary quiet;
            EXPECT_EQ(Current(), (Mode{false, outer.father}));
            {
                CheckModeScope anyFather("~father");
                QuietLibrary nested;
                EXPECT_EQ(Current(), (Mode{false, false}));
            }
            EXPECT_EQ(Current(), (Mode{false, outer.father}));
        }
        EXPECT_EQ(Current(), outer);
        try {
            CheckModeScope anyFather("~father");
            copy_image(Vobject(), nullptr);
        } catch (const VException&) {
        }
        EXPECT_EQ(Current(), outer);
    }
    Set({true, true});
}

TEST(CheckModeScope, MakeImageFromPlanesAnswersFalseInsteadOfThrowing)
{
    PlaneBuffers missing;
    missing.width = 2;
    missing.height = 2;
    missing.channels = 1;
    Vobject image;
    EXPECT_FALSE(MakeImageFromPlanes(missing, &image));
    EXPECT_TRUE(image.empty());
    EXPECT_TRUE(check_give_error());
}

} // namespace
