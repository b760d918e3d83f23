#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>

#include "widget_fixture.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/analysis/z_scale_dlg.h"
#include "workbench/dialogs/calibration_dlg.h"
#include "workbench/dialogs/convolution_dlg.h"
#include "workbench/dialogs/luminance_gamma_dlg.h"
#include "workbench/dialogs/math_ops_dlg.h"
#include "workbench/dialogs/mouse_coords_dlg.h"
#include "workbench/dialogs/multiply_dlg.h"
#include "workbench/dialogs/resize_dlg.h"

namespace {

template <class Control> Control* Find(QWidget& dialog, int id)
{
    auto* control = dialog.findChild<Control*>(ControlName(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

QString Text(QWidget& dialog, int id) { return Find<QLineEdit>(dialog, id)->text(); }

class ImageDialogsTest : public WorkbenchTest {
protected:
    // A new active document whose image is width x height of one grey level,
    // or of one colour (0x00BBGGRR) when `colour`.
    CFraloDoc* NewDocument(int width, int height, int32_t packed, bool colour = false)
    {
        frame->Execute(ID_FILE_NEW);
        CFraloDoc* doc = frame->ActiveDocument();
        PlaneBuffers p;
        p.width = width;
        p.height = height;
        p.channels = colour ? 3 : 1;
        for (int c = 0; c < p.channels; ++c)
            p.planes[c].assign(std::size_t(width) * height, uint8_t(packed >> (8 * c)));
        Vobject image;
        EXPECT_TRUE(MakeImageFromPlanes(p, &image));
        doc->SetImage(image);
        return doc;
    }
    static int Pixel(const CFraloDoc* doc, int x = 0, int y = 0)
    {
        return CFraloDoc::GetPixelValue(doc->m_image, x, y);
    }
    static void Tick(CPreviewDlg& dialog, int id, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            dialog.OnTimer(id);
    }
};

TEST_F(ImageDialogsTest, DialogsOnGreyLevelsRefuseOtherPixelTypesWithoutOpening)
{
    CFraloDoc* doc = NewDocument(32, 16, 0);
    for (const char* type : {"uint2", "real"}) {
        Vobject image;
        ASSERT_EQ(gen_image_const(&image, type, 32, 16), V_OK);
        doc->SetImage(image);
        for (int id : {ID_FILTER, ID_BRIGHTNESS, ID_MULTIPLY}) {
            messages.clear();
            const qsizetype documents = frame->MdiArea()->subWindowList().size();
            bool opened = false;
            QTimer::singleShot(0, [&] {
                if (QWidget* dialog = QApplication::activeModalWidget()) {
                    opened = true;
                    dialog->close();
                }
            });
            ASSERT_TRUE(frame->Execute(id)) << type << id;
            QApplication::processEvents();
            EXPECT_FALSE(opened) << type << id;
            EXPECT_EQ(messages,
                      QStringList{QString::fromUtf8("Traitement réservé aux images 8 "
                                                    "bits (niveaux de gris ou couleurs) !")})
                << type << id;
            EXPECT_EQ(frame->MdiArea()->subWindowList().size(), documents);
            EXPECT_EQ(doc->m_image.image(0), image.image(0));
        }
        // The modulo operations compute on the grey levels themselves.
        messages.clear();
        CMathOpsDlg dialog;
        for (int list : {1020, 1021}) {
            auto* box = Find<QComboBox>(dialog, list);
            box->setCurrentIndex(box->findText(doc->m_strName));
        }
        dialog.OnOK();
        EXPECT_EQ(dialog.Result(), nullptr);
        EXPECT_EQ(messages, QStringList{QString::fromUtf8("Traitement réservé aux images 8 "
                                                          "bits (niveaux de gris ou couleurs) !")})
            << type;
    }
}

TEST_F(ImageDialogsTest, MathOpsChecksTheOperandsInTheirOrder)
{
    CFraloDoc* a = NewDocument(64, 48, 10);
    CFraloDoc* b = NewDocument(64, 48, 20);
    struct Case {
        int kindA, kindB;
        bool colourB;
        int widthB;
        const char* message;
    };
    const Case cases[] = {{8, 16, true, 65, "Opérations impossibles sur images FFT !"},
                          {0, 16, true, 65, "Opérations impossibles sur images FFT !"},
                          {0, 0, true, 65, "Les images sont de types différents !"},
                          {0, 0, false, 65, "Les images sont de tailles différentes !"},
                          {0, 0, false, 64, ""}};
    for (const Case& c : cases) {
        a->m_nKind = c.kindA;
        b->SetImage(NewDocument(c.widthB, 48, 0, c.colourB)->m_image);
        b->m_nKind = c.kindB;
        frame->Execute(ID_FILE_CLOSE);
        CMathOpsDlg dialog;
        EXPECT_TRUE(dialog.IsTimerActive(CMathOpsDlg::TIMER_CHECK));
        for (auto [list, doc] : {std::pair{1020, a}, std::pair{1021, b}}) {
            auto* box = Find<QComboBox>(dialog, list);
            box->setCurrentIndex(box->findText(doc->m_strName));
        }
        dialog.OnTimer(CMathOpsDlg::TIMER_CHECK);
        EXPECT_EQ(Find<QLabel>(dialog, 1018)->text(), QString::fromUtf8(c.message));
        EXPECT_EQ(Find<QPushButton>(dialog, 1)->isEnabled(), *c.message == 0) << c.message;
    }
}

TEST_F(ImageDialogsTest, MathOpsWithNoPickCombinesTheLastDocumentWithItself)
{
    frame->Execute(ID_FILE_CLOSE);
    CFraloDoc* doc = NewDocument(40, 30, PackRgb(10, 20, 30), true);
    struct Case {
        int button;
        int value;
        int channels;
    };
    const Case cases[] = {{1027, 0, 1}, {1024, 36, 1}, {1023, PackRgb(20, 40, 60), 3}};
    for (const Case& c : cases) {
        CMathOpsDlg dialog;
        EXPECT_EQ(Find<QComboBox>(dialog, 1020)->currentText(), doc->m_strName);
        EXPECT_TRUE(Find<QRadioButton>(dialog, 1027)->isChecked());
        EXPECT_EQ(Find<QLabel>(dialog, 1006)->text(), "NOUV. IMAGE");
        Find<QRadioButton>(dialog, c.button)->setChecked(true);
        const int16_t number = app->m_nImageCounter;
        dialog.OnOK();
        CFraloDoc* result = dialog.Result();
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(frame->ActiveDocument(), result);
        EXPECT_EQ(result->m_strName, QString("Image%1").arg(number));
        EXPECT_EQ(result->m_nWidth, 40);
        EXPECT_EQ(result->m_nHeight, 30);
        EXPECT_EQ(result->Channels(), c.channels);
        EXPECT_EQ(Pixel(result, 39, 29), c.value) << c.button;
        EXPECT_FALSE(dialog.IsTimerActive(CMathOpsDlg::TIMER_CHECK));
        frame->Execute(ID_FILE_CLOSE);
    }
}

TEST_F(ImageDialogsTest, MathOpsWithoutDocumentsKeepsOkDisabled)
{
    frame->Execute(ID_FILE_CLOSE);
    CMathOpsDlg dialog;
    EXPECT_EQ(Find<QComboBox>(dialog, 1020)->count(), 0);
    dialog.OnTimer(CMathOpsDlg::TIMER_CHECK);
    EXPECT_FALSE(Find<QPushButton>(dialog, 1)->isEnabled());
    EXPECT_EQ(Find<QLabel>(dialog, 1018)->text(), "");
    dialog.OnOK();
    EXPECT_EQ(dialog.Result(), nullptr);
    EXPECT_EQ(app->m_nOpenImages, 0);
}

TEST_F(ImageDialogsTest, FilterChoiceShowsItsBlock)
{
    CConvolutionDlg dialog(*NewDocument(8, 8, 60));
    EXPECT_EQ(Find<QComboBox>(dialog, 1000)->count(), 17);
    dialog.OnSelchangeFilterType(10);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            auto* edit = Find<QLineEdit>(dialog, 2000 + 10 * r + c);
            EXPECT_EQ(edit->text(), r < 5 && c < 5 ? "1" : "") << r << c;
            EXPECT_EQ(edit->isEnabled(), r < 5 && c < 5) << r << c;
        }
    EXPECT_EQ(Text(dialog, 1071), "25");
    EXPECT_EQ(Find<QComboBox>(dialog, 1001)->currentText(), "5x5");

    // An edit stays through a change of dimension, not through another filter.
    Find<QLineEdit>(dialog, 2011)->setText("5");
    dialog.OnSelchangeDimension(0);
    EXPECT_EQ(Text(dialog, 2011), "5");
    EXPECT_EQ(Text(dialog, 2033), "");
    dialog.OnSelchangeFilterType(9);
    dialog.OnSelchangeFilterType(10);
    EXPECT_EQ(Text(dialog, 2011), "1");
}

TEST_F(ImageDialogsTest, FilterAppliesTheEditsAsTyped)
{
    CFraloDoc* doc = NewDocument(8, 8, 60);
    CConvolutionDlg dialog(*doc);
    dialog.OnSelchangeFilterType(2);
    dialog.OnSelchangeDimension(2);
    EXPECT_EQ(Text(dialog, 2033), "4");
    EXPECT_EQ(Text(dialog, 2043), "-2");
    dialog.OnApplyFilter();
    EXPECT_EQ(Pixel(doc, 7, 7), 10); // (4 - 2) x 60 / 12; the rest of the block sums to 0

    struct Case {
        const char* centre;
        const char* divisor;
        const char* shownDivisor;
        int value;
    };
    const Case cases[] = {
        {"200", "100", "100", 2}, {"3", "0", "1", 3}, {"3", "-5", "1", 3}, {"x", "1", "1", 0}};
    for (const Case& c : cases) {
        doc->SetImage(NewDocument(8, 8, 1)->m_image);
        frame->Execute(ID_FILE_CLOSE);
        dialog.OnSelchangeFilterType(12);
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                Find<QLineEdit>(dialog, 2000 + 10 * r + col)->setText("0");
        Find<QLineEdit>(dialog, 2011)->setText(c.centre);
        Find<QLineEdit>(dialog, 1071)->setText(c.divisor);
        dialog.OnApplyFilter();
        EXPECT_EQ(Text(dialog, 1071), c.shownDivisor) << c.centre;
        EXPECT_EQ(Pixel(doc), c.value) << c.centre;
    }
    EXPECT_EQ(Text(dialog, 2011), "0");
}

TEST_F(ImageDialogsTest, FilterGoesBackToThePreviousAndTheOriginalImage)
{
    CFraloDoc* doc = NewDocument(8, 8, 90);
    CConvolutionDlg dialog(*doc);
    EXPECT_EQ(Text(dialog, 1015), "1.05");
    dialog.OnApplyFilter();
    dialog.OnApplyFilter();
    EXPECT_EQ(Pixel(doc), 17); // 40 x 16 / 36
    dialog.OnPreviousImage();
    EXPECT_EQ(Pixel(doc), 40);
    Find<QLineEdit>(dialog, 1015)->setText("20");
    dialog.OnMultiplyLuminance();
    EXPECT_EQ(Text(dialog, 1015), "10");
    EXPECT_EQ(Pixel(doc), 255);
    dialog.OnPreviousImage();
    EXPECT_EQ(Pixel(doc), 40);
    dialog.OnOriginalImage();
    EXPECT_EQ(Pixel(doc), 90);
    Find<QLineEdit>(dialog, 1015)->setText("1.05");
    dialog.OnMultiplyLuminance();
    EXPECT_EQ(Pixel(doc), 94);
    dialog.OnOriginalImage();
    EXPECT_EQ(Pixel(doc), 90);

    // Enter and "&?" leave the dialog open.
    dialog.show();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    Find<QPushButton>(dialog, 1)->click();
    EXPECT_TRUE(dialog.isVisible());
    Find<QPushButton>(dialog, 2)->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ImageDialogsTest, TheGammaRelationIsOneFormulaWithItsExponentRaised)
{
    CLuminanceGammaDlg dialog(*NewDocument(6, 4, 100));
    QStringList relations;
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        if (group->title() == "Relations")
            for (QLabel* label : group->findChildren<QLabel*>())
                relations << label->text();
    EXPECT_EQ(relations, (QStringList{"W_NOUV = W_DER + Luminance",
                                      "W_NOUV = ((W_DER/255)<sup>Gamma</sup>)*255"}));
}

TEST_F(ImageDialogsTest, BrightnessPreviewsFromTheSavedImageOnceTheSliderRests)
{
    CFraloDoc* doc = NewDocument(6, 4, 100);
    CLuminanceGammaDlg dialog(*doc);
    EXPECT_TRUE(dialog.IsTimerActive(CLuminanceGammaDlg::TIMER_PREVIEW));
    EXPECT_EQ(Find<QLabel>(dialog, 1021)->text(), "Luminance [-50,50]: 0");
    EXPECT_EQ(Find<QLabel>(dialog, 1023)->text(), "Gamma [0.01, 2]: 1.00");
    Find<QSlider>(dialog, 155)->setValue(60);
    Tick(dialog, CLuminanceGammaDlg::TIMER_PREVIEW, 5);
    Find<QSlider>(dialog, 155)->setValue(70);
    Tick(dialog, CLuminanceGammaDlg::TIMER_PREVIEW, 10);
    EXPECT_EQ(Pixel(doc), 100);
    Tick(dialog, CLuminanceGammaDlg::TIMER_PREVIEW, 1);
    EXPECT_EQ(Pixel(doc, 5, 3), 120);
    Find<QSlider>(dialog, 159)->setValue(50);
    EXPECT_EQ(Find<QLabel>(dialog, 1023)->text(), "Gamma [0.01, 2]: 0.50");
    Tick(dialog, CLuminanceGammaDlg::TIMER_PREVIEW, 11);
    EXPECT_EQ(Pixel(doc), 174); // sqrt(120 / 255) x 255
    dialog.OnOriginalImage();
    EXPECT_EQ(Pixel(doc), 100);
    EXPECT_EQ(dialog.Luminance(), 0);

    Find<QSlider>(dialog, 155)->setValue(0);
    dialog.reject();
    EXPECT_EQ(Pixel(doc), 100);
    EXPECT_FALSE(dialog.IsTimerActive(CLuminanceGammaDlg::TIMER_PREVIEW));

    CLuminanceGammaDlg quick(*doc);
    Find<QSlider>(quick, 155)->setValue(100);
    quick.accept();
    EXPECT_EQ(Pixel(doc), 150);
}

TEST_F(ImageDialogsTest, MultiplicationAppliesItsCoefficientAtOk)
{
    CFraloDoc* doc = NewDocument(6, 4, PackRgb(9, 100, 200), true);
    CMultiplyDlg dialog(*doc);
    EXPECT_EQ(Find<QLabel>(dialog, 1039)->text(), "Coef [0.1, 10]: 1.0");
    Find<QSlider>(dialog, 1011)->setValue(25);
    EXPECT_EQ(Find<QLabel>(dialog, 1039)->text(), "Coef [0.1, 10]: 2.5");
    dialog.accept();
    EXPECT_EQ(Pixel(doc), PackRgb(22, 250, 255));
    CMultiplyDlg original(*doc);
    Find<QSlider>(original, 1011)->setValue(1);
    Tick(original, CMultiplyDlg::TIMER_PREVIEW, 11);
    EXPECT_EQ(Pixel(doc), PackRgb(2, 25, 25));
    original.OnOriginalImage();
    EXPECT_EQ(Pixel(doc), PackRgb(22, 250, 255));
}

TEST_F(ImageDialogsTest, ResizeFollowsTheSliderAndCancelGivesTheImageBack)
{
    CFraloDoc* doc = NewDocument(640, 480, PackRgb(1, 2, 3), true);
    doc->m_image.image()->plane_as<uint8_t>(0)[639] = 77;
    Vobject before;
    copy_image(doc->m_image, &before);
    doc->m_ptCross = {3, 4};
    doc->m_nCrossValue = 5;
    doc->m_tracker.m_rect = {1, 2, 30, 40};
    doc->m_nKind = KindProfiles | KindShownIn3D;
    CResizeDlg dialog(*doc);
    auto* slider = Find<QSlider>(dialog, 1019);
    EXPECT_EQ(slider->minimum(), 23);
    EXPECT_EQ(slider->maximum(), 200);
    EXPECT_EQ(Find<QLabel>(dialog, 1018)->text(), "Coef[23,200]: 100 %");
    slider->setValue(150);
    EXPECT_EQ(Find<QLabel>(dialog, 1020)->text(),
              "Dimensions (pixel): 960 x 720\nMini: 147 x 110\nMaxi: 1280 x 960");
    Tick(dialog, CResizeDlg::TIMER_PREVIEW, 10);
    EXPECT_EQ(doc->m_nWidth, 640);
    Tick(dialog, CResizeDlg::TIMER_PREVIEW, 1);
    EXPECT_EQ(doc->m_nWidth, 960);
    EXPECT_EQ(doc->m_nHeight, 720);
    EXPECT_TRUE(doc->m_pChildFrame->windowTitle().endsWith("(960x720)"));
    EXPECT_EQ(doc->m_nCrossValue, -1);
    EXPECT_EQ(frame->ValuesPane().toStdString(), "X:0, Y:0, R:0, V:0, B:0");
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
    EXPECT_EQ(doc->m_nKind, KindShownIn3D);
    EXPECT_EQ(RedOf(Pixel(doc, 959, 0)), 77);
    dialog.reject();
    EXPECT_EQ(doc->m_nWidth, 640);
    EXPECT_EQ(doc->m_nHeight, 480);
    EXPECT_TRUE(doc->m_pChildFrame->windowTitle().endsWith("(640x480)"));
    PlaneBuffers a, b;
    ASSERT_TRUE(ReadPlanes(before, &a));
    ASSERT_TRUE(ReadPlanes(doc->m_image, &b));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(a.planes[c], b.planes[c]);

    CResizeDlg quick(*doc);
    Find<QSlider>(quick, 1019)->setValue(50);
    quick.accept();
    EXPECT_EQ(doc->m_nWidth, 320);
    EXPECT_EQ(doc->m_nHeight, 240);
}

TEST_F(ImageDialogsTest, CalibrationShowsAndStoresTheScales)
{
    CFraloDoc* doc = NewDocument(640, 480, 0);
    struct Opening {
        float scale;
        const char* count;
        const char* millimetres;
    };
    for (const Opening& o : {Opening{0.25f, "1", "4"}, Opening{4, "4", "1"}}) {
        doc->m_fScaleXY = o.scale;
        doc->m_fScaleZ = o.scale;
        CCalibrationDlg dialog(*doc);
        EXPECT_EQ(Text(dialog, 1049), o.count);
        EXPECT_EQ(Text(dialog, 1052), o.millimetres);
        EXPECT_EQ(Text(dialog, 1066), o.millimetres);
        EXPECT_FALSE(Find<QLineEdit>(dialog, 1049)->isEnabled());
        EXPECT_FALSE(Find<QPushButton>(dialog, 3)->isEnabled());
        EXPECT_EQ(Find<QLabel>(dialog, 1009)->text(),
                  QString("Image courante:\n%1").arg(doc->m_strName));
    }

    CCalibrationDlg dialog(*doc);
    Find<QCheckBox>(dialog, 1047)->click();
    EXPECT_EQ(Find<QLabel>(dialog, 1009)->text(), QString::fromUtf8("Unités x&y: mm"));
    EXPECT_TRUE(Find<QLineEdit>(dialog, 1049)->isEnabled());
    Find<QCheckBox>(dialog, 1060)->click();
    EXPECT_EQ(Find<QLabel>(dialog, 1009)->text(), QString::fromUtf8("Unité z: mm"));
    EXPECT_TRUE(Find<QPushButton>(dialog, 3)->isEnabled());
    Find<QLineEdit>(dialog, 1049)->setText("25");
    Find<QLineEdit>(dialog, 1052)->setText("2.5");
    dialog.TakeScaleZ(0.0324f);
    EXPECT_EQ(Text(dialog, 1063), "1");
    EXPECT_EQ(Text(dialog, 1066), "0.0324");

    // The z-scale dialog hands its EchZ over; "&Quitter" keeps the previous scale.
    const float scaleZ = doc->m_fScaleZ;
    for (bool ok : {false, true}) {
        QTimer::singleShot(0, [ok] {
            auto* scale = qobject_cast<CSpeckleEchZDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(scale, nullptr);
            Find<QRadioButton>(*scale, 1001)->click();
            scale->OnTimer(CSpeckleEchZDlg::TIMER_SCALE);
            ok ? scale->accept() : scale->reject();
        });
        Find<QPushButton>(dialog, 3)->click();
        EXPECT_EQ(Text(dialog, 1066), ok ? "0.0324219" : "0.0324"); // 8.3 / 256
    }
    EXPECT_EQ(doc->m_fScaleZ, scaleZ);
    CCalibrationDlg quitting(*doc);
    quitting.reject();
    EXPECT_EQ(doc->m_fScaleZ, scaleZ);
    dialog.TakeScaleZ(0.0324f);
    dialog.OnOK();
    EXPECT_FLOAT_EQ(doc->m_fScaleXY, 10);
    EXPECT_NEAR(doc->m_fUnitFactorXY, 0.1, 1e-7);
    EXPECT_FLOAT_EQ(doc->m_fScaleZ, 1 / 0.0324f);
    EXPECT_EQ(doc->m_bCalibratedXY, 1);
    EXPECT_EQ(doc->m_bCalibratedZ, 1);

    CCalibrationDlg unchecking(*doc);
    Find<QCheckBox>(unchecking, 1047)->click();
    EXPECT_EQ(Find<QLabel>(unchecking, 1009)->text(), QString::fromUtf8("Unités x&y: pixel"));
    Find<QCheckBox>(unchecking, 1060)->click();
    EXPECT_EQ(Find<QLabel>(unchecking, 1009)->text(),
              QString::fromUtf8("Unité z: luminance [0, 255]"));
    unchecking.OnOK();
    EXPECT_EQ(doc->m_bCalibratedXY, 0);
    EXPECT_FLOAT_EQ(doc->m_fScaleXY, 10);

    doc->SetImage(NewDocument(8, 8, 0, true)->m_image);
    CCalibrationDlg colour(*doc);
    EXPECT_EQ(Find<QLabel>(colour, 1009)->text(),
              QString::fromUtf8("Image couleur, étalonnage:\nw=(30*r+59*g+11*b)/100"));
    Vobject deep;
    ASSERT_EQ(gen_image_const(&deep, "uint2", 8, 8), V_OK);
    doc->SetImage(deep);
    CCalibrationDlg grey(*doc);
    EXPECT_EQ(Find<QLabel>(grey, 1009)->text(), QString("Image courante:\n%1").arg(doc->m_strName));
}

TEST_F(ImageDialogsTest, CommandsOpenTheirDialogsWhenTheRulesAllow)
{
    CFraloDoc* doc = frame->ActiveDocument();
    const std::map<int, const char*> titles = {
        {ID_MATH_LOGIC, "Opérations mathématiques et logiques"},
        {ID_FILTER, "Filtres de convolution"},
        {ID_BRIGHTNESS, "Ajustement luminance, fact. contraste"},
        {ID_MULTIPLY, "Multiplication par constante"},
        {ID_RESIZE, "Redimensionnement image"},
        {ID_CALIBRATE, "Conv. pixel-mm et luminance-mm"},
    };
    for (const auto& [id, title] : titles) {
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            shown = modal ? modal->windowTitle() : QString();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        EXPECT_TRUE(frame->Execute(id)) << id;
        EXPECT_EQ(shown, QString::fromUtf8(title));
    }
    // Calibrating opened the mouse-coordinates window; calibrating again keeps it open.
    const CMouseCoordsDlg* coordinates = app->m_pMouseCoordsDlg;
    ASSERT_NE(coordinates, nullptr);
    QTimer::singleShot(0,
                       [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
    frame->Execute(ID_CALIBRATE);
    EXPECT_EQ(app->m_pMouseCoordsDlg, coordinates);
    doc->m_nKind = KindFftDerived;
    frame->UpdateCommandUI();
    for (int id : {ID_FILTER, ID_BRIGHTNESS, ID_MULTIPLY, ID_RESIZE})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    for (int id : {ID_MATH_LOGIC, ID_CALIBRATE})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    doc->m_nKind = 0;
    app->Live().Acquire(*doc);
    frame->UpdateCommandUI();
    for (const auto& [id, title] : titles)
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    app->Live().End();
}

} // namespace
