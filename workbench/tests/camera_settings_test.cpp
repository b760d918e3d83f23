// The FireWire camera-settings dialog on the real IEEE-1394 plug-in and its
// simulated camera: what the dialog sets is what the picture shows.
#include <QLineEdit>

#include <imageproc/plane_buffers.h>

#include "firewire_camera_dlg.h"
#include "widget_fixture.h"

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

} // namespace
