// The camera-settings dialogs on the real IEEE-1394 and USB camera plug-ins
// and their simulated cameras: what the dialog sets is what the picture shows.
#include <QLineEdit>

#include <imageproc/plane_buffers.h>

#include "widget_fixture.h"
#include "workbench/dialogs/firewire_camera_dlg.h"
#include "workbench/dialogs/usb_camera_dlg.h"

namespace {

TEST_F(WorkbenchTest, TheFirewireCameraGainSetInTheDialogBrightensThePictureClippedAt255)
{
    for (int gain : {200, 300, 100}) {
        app->m_nSource = 5;
        CFirewireCameraDlg dialog(frame);
        ASSERT_TRUE(dialog.OnInitDialog());
        dialog.m_gain.edit->setText(QString::number(gain));
        dialog.accept(); // "&Appliquer"
        CFraloDoc* doc = frame->ActiveDocument();
        static_cast<CFraloView*>(doc->m_pView)->OnTimer(99);
        const PlaneView v = ViewPlanes(doc->m_image);
        ASSERT_EQ(v.width, 640);
        // Mono camera, shutter 500: level x + 3 y + 7 f + 500, f unknown, times gain / 100.
        const uint8_t* row = v.planes[0];
        int x = 0;
        while (x < v.width && row[x] == 255)
            ++x;
        ASSERT_LT(x, v.width);
        const int offset = row[x] * 100 / gain - x;
        int wrong = 0, clipped = 0;
        for (int y = 0; y < v.height; ++y)
            for (int i = 0; i < v.width; ++i) {
                const int level = uint8_t(offset + i + 3 * y) * gain / 100;
                wrong += v.planes[0][y * v.width + i] != std::min(level, 255);
                clipped += level > 255;
            }
        EXPECT_EQ(wrong, 0) << gain;
        EXPECT_EQ(clipped > 0, gain > 100) << gain;
        dialog.reject(); // "&Fermer"
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(WorkbenchTest, TheUsbCameraExposureAndGainSetInTheDialogDarkenThePictureBelowTheirHeldRange)
{
    struct Case {
        const char* exposure;
        const char* gain;
        int64_t level, held; // the picture is the pattern times level / held
    };
    // The dialog's largest values are those the camera opens with: the pattern as is.
    for (const Case& c : {Case{"1000", "0", 1000 * 1000, 5000 * 1000}, Case{"20000", "15", 1, 1},
                          Case{"2500", "3", 2500 * 1413, 5000 * 1000}}) {
        app->m_nSource = 6;
        CUsbCameraDlg dialog(frame);
        ASSERT_TRUE(dialog.OnInitDialog());
        dialog.m_exposure.edit->setText(c.exposure);
        dialog.m_gain.edit->setText(c.gain);
        dialog.accept(); // "&Appliquer"
        CFraloDoc* doc = frame->ActiveDocument();
        static_cast<CFraloView*>(doc->m_pView)->OnTimer(99);
        const PlaneView v = ViewPlanes(doc->m_image);
        ASSERT_GE(v.width, 256);
        // Mono camera: pattern x + 3 y + 7 f + exposure / 100, f unknown; row 0 holds the stamp.
        const auto expected = [&](int offset, int x, int y) {
            return uint8_t(uint8_t(offset + x + 3 * y) * c.level / c.held);
        };
        const auto wrongFrom = [&](int offset, int rows) {
            int wrong = 0;
            for (int y = 1; y < rows; ++y)
                for (int x = 0; x < v.width; ++x)
                    wrong += v.planes[0][y * v.width + x] != expected(offset, x, y);
            return wrong;
        };
        int offset = 0;
        while (offset < 256 && wrongFrom(offset, 2) != 0)
            ++offset;
        ASSERT_LT(offset, 256) << c.exposure;
        EXPECT_EQ(wrongFrom(offset, v.height), 0) << c.exposure;
        dialog.reject(); // "&Fermer"
        EXPECT_EQ(app->AcquiringDoc(), nullptr);
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

} // namespace
