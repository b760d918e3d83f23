// The property frame over simulated device filters: shown offscreen and
// played through its widgets, and the frames it cannot show.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <thread>

#include "first_device.h"
#include <dshow/controls.h>
#include <dshow/property_frame.h>
#include <dshow/sim_devices.h>

namespace {

using namespace dshow;

class PropertyFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        camera_ = BindFirstDevice();
        ASSERT_TRUE(camera_);
        amplifier_ = camera_.As<IAMVideoProcAmp>();
    }

    void TearDown() override
    {
        SetPropertyFrameHook(nullptr);
        amplifier_.Reset();
        camera_.Reset();
        sim::ResetDevices();
        EXPECT_EQ(LiveObjects(), 0);
        EXPECT_EQ(LiveTaskMemory(), 0);
    }

    // The frame of `page` over the camera filter.
    HRESULT Show(const GUID& page)
    {
        IUnknown* objects[] = {camera_.get()};
        return OleCreatePropertyFrame(nullptr, 0, 0, L"Camera", 1, objects, 1, &page, 0, 0,
                                      nullptr);
    }

    int32_t Amplifier(int32_t property, int32_t* flags)
    {
        int32_t value = 0;
        amplifier_->Get(property, &value, flags);
        return value;
    }

    ComPtr<IBaseFilter> camera_;
    ComPtr<IAMVideoProcAmp> amplifier_;
};

TEST_F(PropertyFrameTest, TheDialogShowsATabPerPageAndOkApplies)
{
    const ComPtr<ISpecifyPropertyPages> specify = camera_.As<ISpecifyPropertyPages>();
    CAUUID pages{};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    const TaskMemory<GUID> owned(pages.pElems);
    QString title;
    QStringList tabs;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        const auto* tab = dialog->findChild<QTabWidget*>();
        for (int i = 0; i < tab->count(); ++i)
            tabs << tab->tabText(i);
        dialog->findChild<QSlider*>("Brightness")->setValue(200);
        dialog->findChild<QCheckBox*>("Gain auto")->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    IUnknown* objects[] = {camera_.get()};
    ASSERT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, L"Camera", 1, objects, pages.cElems,
                                     pages.pElems, 0, 0, nullptr),
              S_OK);
    EXPECT_EQ(title, "Camera");
    EXPECT_EQ(tabs, QStringList({"Video Proc Amp", "Camera Control"}));
    int32_t flags = 0;
    EXPECT_EQ(Amplifier(0, &flags), 200);
    EXPECT_EQ(flags, Property_Flags_Manual);
    Amplifier(9, &flags);
    EXPECT_EQ(flags, Property_Flags_Auto);
}

TEST_F(PropertyFrameTest, FramesThatAreNotShownOrNotApplied)
{
    bool played = false;
    SetPropertyFrameHook([&](PropertyFrame& frame) {
        played = true;
        frame.pages.at(0).sliders.at(0).value = 10;
        return false; // Cancel
    });
    struct Case {
        const char* what;
        GUID page;
        HRESULT result;
        bool played;
    } const cases[] = {
        {"cancelled", CLSID_VideoProcAmpPropertyPage, S_OK, true},
        {"a page nobody serves", StandInGuid(0x040001FF), REGDB_E_CLASSNOTREG, false},
        {"a page over what the object lacks", CLSID_CrossbarPropertyPage, E_NOINTERFACE, false},
    };
    for (const Case& c : cases) {
        played = false;
        EXPECT_EQ(Show(c.page), c.result) << c.what;
        EXPECT_EQ(played, c.played) << c.what;
    }
    HRESULT elsewhere = S_OK;
    std::thread([&] { elsewhere = Show(CLSID_VideoProcAmpPropertyPage); }).join();
    EXPECT_EQ(elsewhere, E_FAIL) << "off the application's thread";
    int32_t flags = 0;
    EXPECT_EQ(Amplifier(0, &flags), 128);
}

} // namespace
