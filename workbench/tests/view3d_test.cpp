// The 3-D dialog without OpenGL (offscreen): its buttons, timers, angles and
// the "Visu3D" document it leaves; with OpenGL see view3d_gl_test.cpp.
#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>
#include <verodyn/window.h>

#include "widget_fixture.h"
#include "workbench/dialogs/view3d_dlg.h"

namespace {

class View3DTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        source = frame->ActiveDocument();
    }
    QPushButton* Button(CView3DDlg& d, int id)
    {
        return d.findChild<QPushButton*>(QString::number(id));
    }
    // The messages but the one of a missing OpenGL context.
    QStringList OtherMessages() const
    {
        QStringList other = messages;
        other.removeAll(QStringLiteral("ChoosePixelFormat failed"));
        return other;
    }
    CFraloDoc* source = nullptr;
};

TEST_F(View3DTest, TimersButtonsAndAngles)
{
    CView3DDlg dialog(frame);
    dialog.OnInitDialog();
    CFraloDoc* doc = dialog.Document3D();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(frame->ActiveDocument(), doc);
    EXPECT_EQ(doc->m_strName, "Visu3D");
    EXPECT_EQ(doc->m_nKind, KindShownIn3D);
    EXPECT_EQ(doc->m_nWidth, source->m_nWidth);
    EXPECT_EQ(doc->m_nHeight, source->m_nHeight);
    EXPECT_EQ(window_widget(doc->m_pView->WindowHandle()), nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Visualisation 3D");
    EXPECT_EQ(dialog.pos().x(), source->m_nWidth + 35);
    EXPECT_TRUE(dialog.IsTimerActive(CView3DDlg::TIMER_FIRST_PICTURE));

    using A = std::array<float, 3>;
    EXPECT_EQ(dialog.Angles(), (A{-2, 20, 10}));
    dialog.OnTimer(CView3DDlg::TIMER_FIRST_PICTURE);
    EXPECT_FALSE(dialog.IsTimerActive(CView3DDlg::TIMER_FIRST_PICTURE));
    EXPECT_EQ(dialog.Angles(), (A{-4, 0, 0}));
    const std::pair<int, A> presses[] = {
        {1035, {-14, 0, 0}}, {1038, {-4, 0, 0}},   {1045, {-4, -10, 0}},
        {1043, {-4, 0, 0}},  {1048, {-4, 0, -10}}, {1051, {-4, 0, 0}},
    };
    for (const auto& [id, angles] : presses) {
        Button(dialog, id)->click();
        EXPECT_EQ(dialog.Angles(), angles) << id;
    }

    QPushButton* rotate = Button(dialog, CView3DDlg::IDOK);
    EXPECT_EQ(rotate->text(), "&Rot. auto.");
    rotate->click();
    EXPECT_EQ(rotate->text(), "&Stop rot.");
    EXPECT_TRUE(dialog.IsTimerActive(CView3DDlg::TIMER_AUTO_ROTATION));
    EXPECT_FALSE(Button(dialog, 1035)->isEnabled());
    dialog.OnTimer(CView3DDlg::TIMER_AUTO_ROTATION);
    EXPECT_EQ(dialog.Angles(), (A{-6, -20, -10}));
    rotate->click();
    EXPECT_EQ(rotate->text(), "Rot. auto.");
    EXPECT_FALSE(dialog.IsTimerActive(CView3DDlg::TIMER_AUTO_ROTATION));
    EXPECT_TRUE(Button(dialog, 1051)->isEnabled());
    EXPECT_TRUE(OtherMessages().isEmpty());
}

TEST_F(View3DTest, ClosingLeavesAThreeChannelPictureInTheOrdinaryDisplay)
{
    for (bool negative : {false, true}) {
        frame->MdiArea()->setActiveSubWindow(source->m_pChildFrame);
        CView3DDlg dialog(frame);
        dialog.OnInitDialog();
        CFraloDoc* doc = dialog.Document3D();
        dialog.findChild<QCheckBox*>("1009")->setChecked(negative);
        Button(dialog, 2)->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(doc->m_nKind, 0);
        PlaneView picture = ViewPlanes(doc->m_image);
        EXPECT_EQ(picture.channels, 3);
        EXPECT_EQ(picture.width, source->m_nWidth);
        EXPECT_EQ(picture.height, source->m_nHeight);
        EXPECT_NE(window_widget(doc->m_pView->WindowHandle()), nullptr);
        // Without OpenGL (offscreen, no X display) the picture is black, its
        // negative white.
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            EXPECT_EQ(messages.count("ChoosePixelFormat failed"), negative ? 2 : 1);
            EXPECT_EQ(picture.planes[1][0], negative ? 255 : 0);
        }
        EXPECT_FALSE(dialog.IsTimerActive(CView3DDlg::TIMER_FIRST_PICTURE));
    }
    EXPECT_TRUE(OtherMessages().isEmpty());
}

TEST_F(View3DTest, AnImageNotOfItsDocumentsSizeIsReportedAndDrawnFlat)
{
    source->m_nWidth = static_cast<int16_t>(source->m_nWidth + 1);
    CView3DDlg dialog(frame);
    dialog.OnInitDialog();
    EXPECT_EQ(OtherMessages(), QStringList{QString::fromUtf8("Erreur sur taille image !")});
    dialog.reject();
    EXPECT_EQ(ViewPlanes(dialog.Document3D()->m_image).width, source->m_nWidth);
}

TEST_F(View3DTest, AnImageOfAnotherPixelTypeIsRefusedWithoutADocument)
{
    Vobject image;
    ASSERT_EQ(gen_image_const(&image, "uint2", 32, 16), V_OK);
    source->SetImage(image);
    const qsizetype documents = frame->MdiArea()->subWindowList().size();
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    ASSERT_TRUE(frame->Execute(ID_VIEW_3D));
    EXPECT_EQ(OtherMessages(), QStringList{QString::fromUtf8(
                                   "Traitement réservé aux images 8 bits (niveaux de gris ou "
                                   "couleurs) !")});
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), documents);
}

} // namespace
