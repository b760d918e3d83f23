#include <gtest/gtest.h>

#include "workbench/core/change_history.h"
#include "workbench/core/command_rules.h"
#include "workbench/core/document_walk.h"
#include "workbench/core/frame_fit.h"
#include "workbench/core/print_scale.h"
#include "workbench/core/save_rules.h"

namespace {

TEST(SavePlan, FormatBySuffix)
{
    struct Case {
        const char* path;
        const char* format;
        const char* written;
    };
    const Case cases[] = {
        {"/d/a.jpg", "jpeg30", "/d/a.jpg"},
        {"/d/a.JPEG", "jpeg30", "/d/a.JPEG"},
        {"/d/a.TiF", "tiff", "/d/a.TiF"},
        {"/d/a.tiff", "tiff", "/d/a.tiff"},
        {"/d/a", "tiff", "/d/a.tif"},
        {"/d/Image3", "tiff", "/d/Image3.tif"},
        {"/d/x.jpg.bak", "tiff", "/d/x.jpg.bak.tif"},
    };
    for (const Case& c : cases) {
        SavePlan p = PlanSave(c.path, 0);
        EXPECT_FALSE(p.refused);
        EXPECT_EQ(p.format, c.format) << c.path;
        EXPECT_EQ(p.path, c.written) << c.path;
    }
    EXPECT_EQ(FileNameOf("/d/a.tif"), "a.tif");
    EXPECT_EQ(FileNameOf("a.tif"), "a.tif");
}

TEST(SavePlan, FftImagesAreRefused)
{
    EXPECT_TRUE(PlanSave("/d/a.tif", KindComplexFft).refused);
    EXPECT_TRUE(PlanSave("/d/a.tif", KindFftDerived | KindProfiles).refused);
    EXPECT_FALSE(PlanSave("/d/a.tif", KindProfiles).refused);
}

TEST(UpdateRules, FrameCommands)
{
    CommandState s;
    EXPECT_FALSE(DocumentCommandEnabled(s));
    EXPECT_FALSE(CopyEnabled(s));
    s.hasActiveDocument = true;
    EXPECT_TRUE(DocumentCommandEnabled(s));
    EXPECT_TRUE(CopyEnabled(s));
    EXPECT_FALSE(PasteEnabled(s));
    EXPECT_TRUE(PasteClipboardEnabled(s));
    s.hasCopiedDocument = true;
    EXPECT_TRUE(PasteEnabled(s));
    s.activeKind = KindComplexFft;
    EXPECT_FALSE(CopyEnabled(s));
    s.activeKind = KindFftDerived;
    EXPECT_FALSE(CopyEnabled(s));
    s.activeKind = KindProfiles;
    EXPECT_TRUE(CopyEnabled(s));
    s.acquiring = true;
    EXPECT_FALSE(CopyEnabled(s));
    EXPECT_FALSE(PasteEnabled(s));
    EXPECT_FALSE(PasteClipboardEnabled(s));
}

TEST(UpdateRules, AcquisitionAndViewCommands)
{
    struct Case {
        CommandState state;
        bool live, frozen, resetCoords, clearProfiles;
        bool instrument = false; // phase-shift and time-averaged acquisition
    };
    const Case cases[] = {
        {{false, false, false, false, KindProfiles, 3}, false, false, false, false},
        {{true, true, true, false, KindProfiles, 3}, false, true, false, false},
        {{true, false, false, false, KindProfiles, 0}, false, false, true, true},
        {{true, false, false, false, 0, 1}, true, false, true, false},
        {{true, false, false, false, KindProfiles, 4}, true, false, true, true, true},
        {{true, true, false, false, 0, 5}, false, true, false, false},
        {{true, true, false, false, KindProfiles, 5}, false, true, false, true},
    };
    for (const Case& c : cases) {
        const CommandState& s = c.state;
        SCOPED_TRACE(testing::Message() << s.hasActiveDocument << s.acquiring << s.activeIsAcquiring
                                        << " kind " << s.activeKind << " source " << s.source);
        EXPECT_EQ(LiveAcquisitionEnabled(s), c.live);
        EXPECT_EQ(FrozenAcquisitionEnabled(s), c.frozen);
        EXPECT_EQ(ResetMouseCoordsEnabled(s), c.resetCoords);
        EXPECT_EQ(ClearProfilesEnabled(s), c.clearProfiles);
        EXPECT_EQ(InstrumentAcquisitionEnabled(s), c.instrument);
    }
}

TEST(DocumentWalk, TwentyFiveDocuments)
{
    std::vector<int> all = DocumentWalk(25, 7, true);
    ASSERT_EQ(all.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(all[i], (7 + i) % 25);
    std::vector<int> others = DocumentWalk(25, 7, false);
    ASSERT_EQ(others.size(), 20u);
    EXPECT_EQ(others.front(), 8);
    EXPECT_EQ(others.back(), 2);
    EXPECT_TRUE(DocumentWalk(1, 0, false).empty());
    EXPECT_EQ(DocumentWalk(1, 0, true), std::vector<int>{0});
    EXPECT_TRUE(DocumentWalk(0, 0, true).empty());
}

TEST(FrameFit, FitAndShrinkBackRoundTheImage)
{
    const FrameSize outer{500, 400}, client{490, 370};
    EXPECT_EQ(FitFrameSize(outer, client, 300, 200, 1024, 768), (FrameSize{314, 234}));
    EXPECT_EQ(FitFrameSize(outer, client, 2000, 1000, 1024, 768), (FrameSize{1038, 802}));
    struct Case {
        int width, height;
        bool changed;
        FrameSize size;
    };
    const Case cases[] = {
        {300, 500, true, {314, 534}},   {600, 300, true, {614, 334}},
        {2000, 100, true, {2014, 134}}, // no maximum applied
        {500, 400, false, outer},       {600, 450, false, outer},
    };
    for (const Case& c : cases) {
        bool changed = !c.changed;
        EXPECT_EQ(EnlargeFrameSize(outer, client, c.width, c.height, &changed), c.size) << c.width;
        EXPECT_EQ(changed, c.changed) << c.width;
    }
}

TEST(FrameFit, FramesStayInsideTheWorkArea)
{
    const FrameSize area{800, 600};
    struct Case {
        FrameRect frame, kept, clipped;
    };
    const Case cases[] = {
        {{10, 20, 300, 200}, {10, 20, 300, 200}, {10, 20, 300, 200}},
        {{600, 500, 300, 200}, {500, 400, 300, 200}, {600, 500, 200, 100}},
        {{100, 50, 1032, 200}, {0, 50, 800, 200}, {100, 50, 700, 200}},
        {{-40, -10, 300, 200}, {0, 0, 300, 200}, {-40, -10, 300, 200}},
        {{900, 700, 50, 50}, {750, 550, 50, 50}, {900, 700, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeepInArea(c.frame, area), c.kept) << c.frame.x;
        EXPECT_EQ(ClipToArea(c.frame, area), c.clipped) << c.frame.x;
    }
}

TEST(FrameFit, CascadeKeepsFittedSizesAndStartsAgainAtMidArea)
{
    // 400 x 300 with steps of 50: places at 0, 50, 100 and 150, then 0 again.
    const std::vector<FrameSize> sizes(6, FrameSize{300, 280});
    const std::vector<FrameRect> expected = {
        {0, 0, 300, 280},     {50, 50, 300, 250}, {100, 100, 300, 200},
        {150, 150, 250, 150}, {0, 0, 300, 280},   {50, 50, 300, 250},
    };
    EXPECT_EQ(CascadeFrames(sizes, {400, 300}, 50), expected);
    EXPECT_EQ(CascadeFrames({{10, 10}}, {400, 300}, 0), (std::vector<FrameRect>{{0, 0, 10, 10}}));
}

TEST(SavePlan, OnlyTheDeeperFileReadFromIsProtected)
{
    EXPECT_TRUE(ReplacesDeeperFile("/d/a.tif", "/d/a.tif", 16));
    EXPECT_TRUE(ReplacesDeeperFile("/d/a.tif", "/d/a.tif", 12));
    EXPECT_FALSE(ReplacesDeeperFile("/d/a.tif", "/d/a.tif", 8));
    EXPECT_FALSE(ReplacesDeeperFile("/d/b.tif", "/d/a.tif", 16));
    EXPECT_FALSE(ReplacesDeeperFile("", "", 16));
}

TEST(PrintScale, IsotropicFit)
{
    PrintViewport v = PrintScale(4800, 6000, 640, 480);
    EXPECT_DOUBLE_EQ(v.scale, 7.5);
    EXPECT_EQ(v.width, 4800);
    EXPECT_EQ(v.height, 3600);
    v = PrintScale(1000, 300, 400, 200);
    EXPECT_DOUBLE_EQ(v.scale, 1.5);
    EXPECT_EQ(v.width, 600);
    EXPECT_EQ(v.height, 300);
}

TEST(ChangeHistory, NewestFirstDownToCreation)
{
    const auto& lines = ChangeHistory();
    EXPECT_STREQ(lines.front(), "29/10/07: Ecriture sur disque des images intermédiaires");
    EXPECT_STREQ(lines.back(), "20/03/06: Création du logiciel");
    EXPECT_STREQ(lines[lines.size() - 2], "...");
    EXPECT_EQ(lines.size(), 41u);
}

} // namespace

TEST(UpdateRules, ImageCommands)
{
    struct Case {
        bool document, acquiring;
        int kind, channels;
        bool fftBlocked, complexOnly, rgbToGrey, greyToRgb;
    };
    const Case cases[] = {
        {false, false, 0, 0, true, true, true, true},
        {false, true, 0, 0, false, false, false, false},
        {true, false, 0, 1, true, false, false, true},
        {true, false, KindProfiles, 3, true, false, true, false},
        {true, false, KindComplexFft, 1, false, true, true, false},
        {true, false, KindFftDerived, 1, false, false, true, false},
        {true, false, KindComplexFft | KindProfiles, 3, false, true, true, false},
        {true, true, 0, 1, false, false, false, false},
    };
    for (const Case& c : cases) {
        CommandState s;
        s.hasActiveDocument = c.document;
        s.acquiring = c.acquiring;
        s.activeKind = c.kind;
        s.activeChannels = c.channels;
        SCOPED_TRACE(testing::Message() << c.document << c.acquiring << " kind " << c.kind
                                        << " channels " << c.channels);
        EXPECT_EQ(FftBlockedEnabled(s), c.fftBlocked);
        EXPECT_EQ(ComplexOnlyEnabled(s), c.complexOnly);
        EXPECT_EQ(RgbToGreyEnabled(s), c.rgbToGrey);
        EXPECT_EQ(GreyToRgbEnabled(s), c.greyToRgb);
        EXPECT_EQ(View3DEnabled(s), !c.acquiring);
        EXPECT_EQ(ExportEnabled(s), c.document && !c.acquiring && (c.kind & KindProfiles));
        s.activeGaussFit = c.document;
        EXPECT_EQ(GaussFitChecked(s), c.document);
    }
}
