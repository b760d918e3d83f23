#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSlider>

#include "tests/support/scripted_grabber.h"
#include "widget_fixture.h"
#include "workbench/dialogs/firewire_camera_dlg.h"
#include "workbench/dialogs/mouse_coords_dlg.h"
#include "workbench/dialogs/usb_camera_dlg.h"
#include "workbench/dialogs/window_size_dlg.h"

namespace {

void DeleteLater() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST_F(WorkbenchTest, TheMouseCoordinatesWindowShowsThePanesAndIsDeletedOnceWhicheverWayItCloses)
{
    ASSERT_TRUE(frame->Execute(ID_MOUSE_COORDS));
    QPointer<CMouseCoordsDlg> window = app->m_pMouseCoordsDlg;
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Coordonnées souris"));
    EXPECT_EQ(window->m_strAxes, frame->UnitsPane()); // fed by the status update
    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->Action(ID_MOUSE_COORDS)->isChecked());

    window->SetAxes("");
    window->SetValues("a", "b", "c", "d", "e");
    EXPECT_EQ(window->m_strValues, "");
    window->SetAxes("X,Y(pixel), W(luminance)");
    window->SetValues("X:1,", "Y:2,", "R:3,", "V:4,", "B:5");
    EXPECT_EQ(window->findChild<QLabel*>("1030")->text(), "X:1,  Y:2,  R:3,  V:4,  B:5");
    window->SetAxes("");
    EXPECT_EQ(window->m_strValues, "");

    window->close(); // the close button
    EXPECT_EQ(app->m_pMouseCoordsDlg, nullptr);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_MOUSE_COORDS)->isChecked());
    DeleteLater();
    EXPECT_TRUE(window.isNull());

    ASSERT_TRUE(frame->Execute(ID_MOUSE_COORDS));
    window = app->m_pMouseCoordsDlg;
    ASSERT_TRUE(frame->Execute(ID_MOUSE_COORDS)); // given again: closes it
    EXPECT_EQ(app->m_pMouseCoordsDlg, nullptr);
    DeleteLater();
    EXPECT_TRUE(window.isNull());
}

TEST_F(WorkbenchTest, TheWindowSizeDialogListsTheSourcesSizesAndReappliesTheChosenOne)
{
    app->m_nSizeIndex = 3;
    app->m_nDefaultWidth = 1;
    CWindowSizeDlg dialog(frame);
    dialog.OnInitDialog();
    QComboBox* sizes = dialog.SizeList();
    EXPECT_FALSE(sizes->isEditable()); // typed text is no size of the table
    EXPECT_EQ(sizes->count(), 8);
    EXPECT_EQ(sizes->itemText(7), "1280 X 1024");
    EXPECT_EQ(sizes->currentText(), "640 X 480");
    dialog.OnOK(); // nothing selected: the size of the index again
    EXPECT_EQ(app->m_nSizeIndex, 3);
    EXPECT_EQ(app->m_nDefaultWidth, 640);
    sizes->setCurrentIndex(1);
    dialog.OnOK();
    EXPECT_EQ(app->m_nSizeIndex, 1);
    EXPECT_EQ(app->m_nDefaultHeight, 240);
}

class CameraDialogTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        app->Live().SetGrabbers(grabber);
    }
    // The parameters set since the last call, as "name=value".
    std::vector<std::string> Sets()
    {
        std::vector<std::string> texts;
        for (const auto& [name, value] : grabber.sets)
            texts.push_back(name + "=" + value[0].S());
        grabber.sets.clear();
        return texts;
    }
    ScriptedGrabber grabber;
};

TEST_F(CameraDialogTest, UsbCameraClampsAndSetsExposureAndGain)
{
    app->m_nSource = 6;
    grabber.params["Camera/Gain_dB"] = VTuple(6.0);
    CUsbCameraDlg dialog(frame);
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(app->AcquiringDoc(), frame->ActiveDocument());
    EXPECT_EQ(dialog.m_exposure.label->text(), QString::fromUtf8("Opturateur(µs) [750, 20000] :"));
    EXPECT_EQ(dialog.m_exposure.edit->text(), "20000"); // set at the start
    EXPECT_EQ(dialog.m_gain.slider->value(), 60);
    Sets();

    struct Case {
        const char* exposure;
        const char* gain;
        int exposureSlider, gainSlider;
        std::vector<std::string> sets;
    };
    for (const Case& c :
         {Case{"100", "7.5", 750, 75, {"Camera/Expose_us=750", "Camera/Gain_dB=7.5"}},
          Case{"30000", "20", 20000, 150, {"Camera/Expose_us=20000", "Camera/Gain_dB=15"}},
          Case{"1000", "-1", 1000, 0, {"Camera/Expose_us=1000", "Camera/Gain_dB=0"}}}) {
        dialog.m_exposure.edit->setText(c.exposure);
        dialog.m_gain.edit->setText(c.gain);
        dialog.accept(); // "&Appliquer"
        EXPECT_EQ(dialog.m_exposure.slider->value(), c.exposureSlider) << c.exposure;
        EXPECT_EQ(dialog.m_gain.slider->value(), c.gainSlider) << c.gain;
        EXPECT_EQ(Sets(), c.sets);
    }
    dialog.m_gain.slider->setValue(45); // a slider moved sets both at once
    EXPECT_EQ(Sets(), (std::vector<std::string>{"Camera/Expose_us=1000", "Camera/Gain_dB=4.5"}));
    dialog.reject(); // "&Fermer"
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(grabber.grabs, 1); // the last frame
}

TEST_F(CameraDialogTest, FirewireCameraUsesTheReportedRangesAndAutomaticModes)
{
    app->m_nSource = 5;
    grabber.params["shutter_range"] = VTuple(1).append(4095).append(1).append(500);
    grabber.params["video_gain_range"] = VTuple(0).append(255); // short answer
    CFirewireCameraDlg dialog(frame);
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(dialog.m_shutter.label->text(), "Opturateur [1, 4095]:");
    EXPECT_EQ(dialog.m_shutter.slider->minimum(), 1);
    EXPECT_EQ(dialog.m_shutter.slider->maximum(), 4095);
    EXPECT_EQ(dialog.m_shutter.slider->value(), 500);
    EXPECT_EQ(dialog.m_gain.label->text(), "Gain [0, 255]:");
    EXPECT_TRUE(Sets().empty());

    dialog.m_shutter.automatic->click();
    EXPECT_FALSE(dialog.m_shutter.slider->isEnabled());
    dialog.m_shutter.edit->setText("9000");
    dialog.m_gain.edit->setText("300");
    dialog.accept();
    EXPECT_EQ(Sets(), (std::vector<std::string>{"shutter=auto", "video_gain=255"}));
    EXPECT_EQ(dialog.m_gain.slider->value(), 255);
    dialog.m_shutter.automatic->click();
    EXPECT_TRUE(dialog.m_shutter.edit->isEnabled());
    EXPECT_EQ(Sets(), (std::vector<std::string>{"shutter=4095"}));
    dialog.m_shutter.slider->setValue(7);
    EXPECT_EQ(Sets(), (std::vector<std::string>{"shutter=7", "video_gain=255"}));

    // A camera that stops answering its ranges keeps those it gave.
    grabber.params.erase("shutter_range");
    grabber.params.erase("video_gain_range");
    dialog.m_shutter.edit->setText("9000");
    dialog.m_gain.edit->setText("40");
    dialog.accept();
    EXPECT_EQ(Sets(), (std::vector<std::string>{"shutter=4095", "video_gain=40"}));
    EXPECT_EQ(dialog.m_shutter.edit->text(), "4095");
    dialog.reject();
}

TEST_F(CameraDialogTest, AFailedStartClosesTheDialogWithoutTouchingTheCamera)
{
    app->m_nSource = 6;
    grabber.openResult = VERR_FG_NO_PLUGIN;
    CUsbCameraDlg dialog(frame);
    EXPECT_FALSE(dialog.OnInitDialog());
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(grabber.sets.empty());
    EXPECT_EQ(app->m_nSource, 0);
}

} // namespace
