#include <gtest/gtest.h>

#include "workbench/core/acquisition_sources.h"
#include "workbench/core/camera_settings.h"
#include "workbench/core/command_ids.h"
#include "workbench/core/command_rules.h"

namespace {

TEST(OpenTuples, EachLibrarySourceOpensWithItsOwnValues)
{
    struct Case {
        int source;
        int defaultWidth;
        const char* name;
        VTuple gain;
        const char* trigger;
        const char* cameraType;
        const char* device;
        int port, lineIn;
    };
    for (const Case& c : {
             Case{1, 640, "TWAIN", VTuple(-1.0), "default", "interactive:inches", "interactive", -1,
                  1},
             Case{3, 640, "DirectShow", VTuple(-1.0), "false", "PAL RGB24 (640x480)", "0", -1, -1},
             Case{4, 640, "ZephonII", VTuple(-1.0), "false", "D_CCIR", "ZEPHON_II:0", -1, 1},
             Case{5, 640, "1394IIDC", VTuple(-1), "default", "0:5:4", "default", -1, -1},
             Case{5, 800, "1394IIDC", VTuple(-1), "default", "1:2:2", "default", -1, -1},
             Case{5, 1024, "1394IIDC", VTuple(-1), "default", "1:5:4", "default", -1, -1},
             Case{5, 768, "1394IIDC", VTuple(-1), "default", "default", "default", -1, -1},
             Case{6, 640, "KandrisAcquire", VTuple(15.0), "false", "kdLyra*", "0", 0, -1},
             Case{7, 640, "KandrisAcquire", VTuple(15.0), "false", "kdLyra*", "0", 0, -1},
         }) {
        OpenTuple t;
        ASSERT_TRUE(OpenTupleFor(c.source, {640, 480, c.defaultWidth, 15.0f}, &t)) << c.source;
        const auto& v = t.values;
        EXPECT_EQ(t.name, c.name);
        EXPECT_EQ(v[0], VTuple(1));
        EXPECT_EQ(v[2], VTuple(0));
        EXPECT_EQ(v[6], VTuple("default"));
        EXPECT_EQ(v[7], VTuple(-1));
        EXPECT_EQ(v[8], VTuple(c.source == 3 ? "rgb" : "default"));
        EXPECT_EQ(v[9], c.gain) << c.source; // an integer for the IEEE-1394 camera
        EXPECT_EQ(v[10], VTuple(c.trigger));
        EXPECT_EQ(v[11], VTuple(c.cameraType)) << c.defaultWidth;
        EXPECT_EQ(v[12], VTuple(c.device));
        EXPECT_EQ(v[13], VTuple(c.port));
        EXPECT_EQ(v[14], VTuple(c.lineIn));
    }
    OpenTuple t;
    for (int source : {0, 2, 8, 9})
        EXPECT_FALSE(OpenTupleFor(source, {}, &t)) << source;
}

TEST(SourceCommands, ProbesDecideTheSourceAndMessagesAreExact)
{
    const SourceCommand& twain = *FindSourceCommand(ID_SOURCE_TWAIN);
    const SourceCommand& firewire = *FindSourceCommand(ID_SOURCE_IEEE1394);
    const SourceCommand& talvo = *FindSourceCommand(ID_SOURCE_TALVO);
    EXPECT_EQ(SourceAfterProbe(twain, V_OK, {}), 1);
    EXPECT_EQ(SourceAfterProbe(twain, VERR_FG_NO_PLUGIN, {}), 0);
    EXPECT_EQ(SourceAfterProbe(firewire, V_OK, VTuple("cam 0")), 5);
    EXPECT_EQ(SourceAfterProbe(firewire, V_OK, VTuple()), 0);
    EXPECT_EQ(SourceAfterProbe(firewire, V_OK, VTuple("")), 0);
    EXPECT_EQ(SourceAfterProbe(firewire, VERR_FG_NO_PLUGIN, VTuple("cam 0")), 0);
    EXPECT_EQ(SourceAfterProbe(talvo, VERR_FG_NO_PLUGIN, {}), 8);
    EXPECT_STREQ(twain.probeFailure, "Pilote twain non trouvé !");
    EXPECT_STREQ(firewire.probeFailure, "Caméra firewire sur port IEEE non trouvée !");
    EXPECT_EQ(SourceCommands().size(), 9u);
    EXPECT_FALSE(FindSourceCommand(ID_SOURCE_NONE)->closesGrabbers);

    EXPECT_EQ(
        TalvoInitFailureMessage(512, 480, 2),
        "Carte Dravik Talvo (512x480) non trouvée ou déjà adressée !\nErreur InitTalvo() n°2.");
    EXPECT_EQ(TalvoAcqFailureMessage(2),
              "Erreur sur fonction acquisition permanente !\nErreur AcqPermTalvo() n°2.");
    EXPECT_EQ(StartFailureMessage(1), "");
    EXPECT_EQ(LiveDisplayedPart(6, 640, 480).columns, 1280);
    EXPECT_EQ(LiveDisplayedPart(7, 800, 600).rows, 480);
    EXPECT_EQ(LiveDisplayedPart(3, 800, 600).rows, 600);
}

TEST(CommandRules, AcquisitionCommandsFollowSourceAndAcquisition)
{
    struct Case {
        bool acquiring;
        int source;
        bool sourceEnabled, defaultSize, cameraSettings;
    };
    for (Case c : {Case{false, 0, true, true, false}, Case{false, 1, true, false, false},
                   Case{false, 5, true, true, true}, Case{false, 8, true, true, true},
                   Case{true, 5, false, false, false}}) {
        CommandState s;
        s.hasActiveDocument = true;
        s.acquiring = c.acquiring;
        s.source = c.source;
        EXPECT_EQ(SourceCommandEnabled(s), c.sourceEnabled) << c.source;
        EXPECT_EQ(DefaultSizeEnabled(s), c.defaultSize) << c.source;
        EXPECT_EQ(CameraSettingsEnabled(s), c.cameraSettings) << c.source;
        EXPECT_TRUE(SourceChecked(s, c.source));
        EXPECT_FALSE(SourceChecked(s, c.source + 1));
    }
    CommandState s;
    EXPECT_FALSE(MouseCoordsChecked(s));
    s.mouseCoordsOpen = true;
    EXPECT_TRUE(MouseCoordsChecked(s));
}

TEST(CameraSettings, ClampsLabelsAndRanges)
{
    EXPECT_EQ(UsbClampExposure(100), 750);
    EXPECT_EQ(UsbClampExposure(30000), 20000);
    EXPECT_EQ(UsbClampGain(20.0f), 15.0f);
    EXPECT_EQ(UsbClampGain(-1.0f), 0.0f);
    EXPECT_EQ(UsbGainSliderPosition(7.5f), 75);
    EXPECT_EQ(UsbGainSliderPosition(6.0f), 60);
    EXPECT_EQ(UsbExposureLabel(), "Opturateur(µs) [750, 20000] :");
    EXPECT_EQ(UsbGainLabel(), "Gain(dB) [0, 15] :");

    const CameraRange shutter = RangeOf(VTuple(1).append(4095).append(1).append(500));
    EXPECT_EQ(FirewireShutterLabel(shutter), "Opturateur [1, 4095]:");
    EXPECT_EQ(FirewireGainLabel(shutter), "Gain [1, 4095]:");
    EXPECT_EQ(shutter.value, 500);
    EXPECT_EQ(Clamp(5000, shutter), 4095);
    const CameraRange shortAnswer = RangeOf(VTuple(3).append(9));
    EXPECT_EQ(shortAnswer.maximum, 9);
    EXPECT_EQ(shortAnswer.value, 0);

    EXPECT_EQ(CameraDialogFor(5), CameraDialog::Firewire);
    EXPECT_EQ(CameraDialogFor(7), CameraDialog::Usb);
    EXPECT_EQ(CameraDialogFor(8), CameraDialog::None);
}

} // namespace
