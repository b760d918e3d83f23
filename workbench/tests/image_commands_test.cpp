#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMdiArea>
#include <QPushButton>

#include <numeric>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>
#include <verodyn/window.h>

#include "widget_fixture.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/dialogs/extract_image_dlg.h"
#include "workbench/frame/about_dlg.h"

namespace {

class ImageCommandTest : public WorkbenchTest {
protected:
    // The active document with a grey ramp of 32 x 16 pixels.
    CFraloDoc* GreyDocument()
    {
        CFraloDoc* doc = frame->ActiveDocument();
        std::vector<uint8_t> plane(32 * 16);
        for (size_t i = 0; i < plane.size(); ++i)
            plane[i] = uint8_t(i * 7 % 251);
        Vobject image;
        EXPECT_EQ(gen_image1(&image, "byte", 32, 16, plane.data()), V_OK);
        doc->SetImage(image);
        return doc;
    }
    std::string TypeOf(const CFraloDoc* doc) const
    {
        std::string type;
        get_image_pointer1(doc->m_image, nullptr, &type, nullptr, nullptr);
        return type;
    }
};

TEST_F(ImageCommandTest, TheCommandsFollowTheirRules)
{
    GreyDocument();
    const auto enabled = [this] {
        frame->UpdateCommandUI();
        std::string on;
        for (int id : {32805, 32806, 32807, 32808, 32809, 32811, 32817, 32818, 32825})
            on += frame->Action(id)->isEnabled() ? '1' : '0';
        return on;
    };
    EXPECT_EQ(enabled(), "100001111");
    ASSERT_TRUE(frame->Execute(ID_FFT));
    EXPECT_EQ(enabled(), "011110011");
}

TEST_F(ImageCommandTest, FftFamilyNamesKindsAndTheInverseGivesTheSourceBack)
{
    CFraloDoc* source = GreyDocument();
    ASSERT_TRUE(frame->Execute(ID_FFT));
    CFraloDoc* fft = frame->ActiveDocument();
    ASSERT_NE(fft, source);
    EXPECT_EQ(fft->m_strName, QString("Fft%1").arg(app->m_nImageCounter));
    EXPECT_EQ(fft->m_nKind, KindComplexFft);
    EXPECT_EQ(TypeOf(fft), "complex");
    EXPECT_EQ(fft->m_pChildFrame->windowTitle(), fft->Title());
    // Shown by its modulus: the sum of the pixels at (0, 0) is the largest.
    QImage shown = window_widget(fft->m_pView->WindowHandle())->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(32, 16));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_LT(qRed(shown.pixel(5, 3)), 255);

    struct Case {
        int id;
        const char* name;
        int kind;
        const char* type;
    };
    const Case cases[] = {
        {ID_FFT_PHASE, "FftPhase%1", KindFftDerived, "real"},
        {ID_FFT_MODULUS, "FftModule%1", KindFftDerived, "real"},
        {ID_FFT_INVERSE, "FftInv%1", 0, "real"},
    };
    for (const Case& c : cases) {
        frame->MdiArea()->setActiveSubWindow(fft->m_pChildFrame);
        ASSERT_TRUE(frame->Execute(c.id)) << c.id;
        CFraloDoc* result = frame->ActiveDocument();
        EXPECT_EQ(result->m_strName, QString(c.name).arg(app->m_nImageCounter));
        EXPECT_EQ(result->m_nKind, c.kind);
        EXPECT_EQ(TypeOf(result), c.type);
        // Shown on its kind's scale from the start, as when drawn again.
        const QImage shown = window_widget(result->m_pView->WindowHandle())->grab().toImage();
        result->m_pView->DisplayImage();
        EXPECT_EQ(window_widget(result->m_pView->WindowHandle())->grab().toImage(), shown) << c.id;
    }
    CFraloDoc* inverse = frame->ActiveDocument();
    void* back = nullptr;
    get_image_pointer1(inverse->m_image, &back, nullptr, nullptr, nullptr);
    PlaneView original = ViewPlanes(source->m_image);
    for (int i = 0; i < 32 * 16; ++i)
        ASSERT_NEAR(static_cast<float*>(back)[i], original.planes[0][i], 1e-3) << i;
    EXPECT_TRUE(frame->SaveActiveAs(Path("inverse.tif")));
    Vobject read;
    ASSERT_EQ(read_image(&read, Path("inverse.tif").toLocal8Bit().constData()), V_OK);
    EXPECT_EQ(ViewPlanes(read).planes[0][100], original.planes[0][100]);
    // Copied as shown: 0..250 spread on 0..255.
    QApplication::clipboard()->clear();
    ASSERT_TRUE(frame->Execute(ID_EDIT_COPY));
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(32, 16));
    EXPECT_EQ(qGray(copied.pixel(4, 3)), 202); // grey 198 at index 100
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ImageCommandTest, ThePanesShowTheValuesOfFftAndSixteenBitImages)
{
    CFraloDoc* source = GreyDocument();
    const uint8_t* grey = ViewPlanes(source->m_image).planes[0];
    const double sum = std::accumulate(grey, grey + 32 * 16, 0.0);
    ASSERT_TRUE(frame->Execute(ID_FFT));
    // The DC corner holds the sum of the pixels.
    EXPECT_EQ(frame->ValuesPane(), QString::asprintf("X:0, Y:0, Re:%g, Im:0", sum));
    ASSERT_TRUE(frame->Execute(ID_FFT_MODULUS));
    EXPECT_EQ(frame->ValuesPane(), QString::asprintf("X:0, Y:0, W:%g", sum));
    EXPECT_EQ(frame->UnitsPane(), "X,Y(pixel), W(luminance)");

    CFraloDoc* deep = frame->ActiveDocument();
    const std::vector<uint16_t> plane(32 * 16, 40000);
    Vobject image;
    ASSERT_EQ(gen_image1(&image, "uint2", 32, 16, plane.data()), V_OK);
    deep->SetImage(image);
    deep->m_ptMouse = {3, 2};
    deep->m_ptCross = {1, 1};
    EXPECT_EQ(frame->ValuesPane(), "dX:2, dY:1, dW:0");
    deep->m_ptCross = {0, 0};
    EXPECT_EQ(frame->ValuesPane(), "X:3, Y:2, W:40000");
}

TEST_F(ImageCommandTest, FailuresSayWhyAndLeaveNoNewDocument)
{
    // The extraction of a zone of 150 x 150 pixels, through its dialog's OK.
    const auto extract = [this](CFraloDoc* source) {
        ASSERT_TRUE(frame->Execute(ID_EXTRACT));
        source->m_tracker.m_rect = {0, 0, 150, 150};
        source->m_nKind |= KindProfiles;
        app->m_pExtractDlg->findChild<QPushButton*>(ControlName(1))->click();
    };
    struct Case {
        int id;
        int kind;
        const char* message;
        std::function<void(CFraloDoc*)> run = {}; // else the command `id`
    };
    const Case cases[] = {
        {ID_FFT, 0, "Image FFT complexe non calculable !"},
        {ID_FFT_INVERSE, KindComplexFft, "Image FFT inverse non calculable !"},
        {ID_FFT_PHASE, KindComplexFft, "Phase de l'image FFT non calculable !"},
        {ID_FFT_MODULUS, KindComplexFft, "Module de l'image FFT non calculable !"},
        {ID_RGB_TO_GREY, KindFftDerived, "Image NG non calculable !"},
        {ID_RGB_TO_GREY, 0, "Image NG non calculable !"},
        {ID_NEGATIVE, 0,
         "Erreur de la bibliothèque d'images n°1302 !\ninvert_image: input object is empty"},
        {ID_EXTRACT, 0,
         "Erreur de la bibliothèque d'images n°1302 !\ncrop_part: input object is empty", extract},
    };
    for (const Case& c : cases) {
        CFraloDoc* source = app->NewImageDocument(0, 0);
        source->m_image = Vobject();
        source->m_nKind = c.kind;
        const int16_t open = app->m_nOpenImages;
        const int16_t counter = app->m_nImageCounter;
        messages.clear();
        if (c.run)
            c.run(source);
        else
            ASSERT_TRUE(frame->Execute(c.id)) << c.id;
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.message)}) << c.id;
        EXPECT_EQ(app->m_nOpenImages, open) << c.id;
        EXPECT_EQ(app->m_nImageCounter, counter) << c.id;
        EXPECT_EQ(frame->ActiveDocument(), source) << c.id;
    }
}

TEST_F(ImageCommandTest, ResultTitlesShowTheSizeOfTheirImage)
{
    GreyDocument(); // 32 x 16, in a document made at the default size
    for (int command : {ID_GREY_TO_RGB, ID_RGB_TO_GREY, ID_FFT}) {
        ASSERT_TRUE(frame->Execute(command));
        EXPECT_TRUE(frame->ActiveChild()->windowTitle().endsWith(" (32x16)")) << command;
    }
}

TEST_F(ImageCommandTest, ColourAndGreyConversionsAndTheNegative)
{
    // An ordinary colour image gives its first channel, not a weighted grey.
    CFraloDoc* colour = frame->ActiveDocument();
    ASSERT_EQ(colour->Channels(), 3);
    ASSERT_TRUE(frame->Execute(ID_RGB_TO_GREY));
    CFraloDoc* grey = frame->ActiveDocument();
    PlaneView red = ViewPlanes(colour->m_image), first = ViewPlanes(grey->m_image);
    ASSERT_EQ(first.channels, 1);
    EXPECT_TRUE(std::equal(red.planes[0], red.planes[0] + red.width * red.height, first.planes[0]));
    EXPECT_EQ(grey->m_nKind, 0);

    // An FFT-derived real image is converted to "byte".
    CFraloDoc* derived = app->NewImageDocument(0, 0);
    ASSERT_EQ(fft_image(grey->m_image, &derived->m_image), V_OK);
    ASSERT_EQ(power_real(derived->m_image, &derived->m_image), V_OK);
    derived->m_nKind = KindFftDerived;
    ASSERT_TRUE(frame->Execute(ID_RGB_TO_GREY));
    EXPECT_EQ(TypeOf(frame->ActiveDocument()), "byte");

    frame->MdiArea()->setActiveSubWindow(grey->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_GREY_TO_RGB));
    PlaneView three = ViewPlanes(frame->ActiveDocument()->m_image);
    ASSERT_EQ(three.channels, 3);
    const int n = three.width * three.height;
    for (int c = 0; c < 3; ++c)
        EXPECT_TRUE(std::equal(first.planes[0], first.planes[0] + n, three.planes[c])) << c;

    frame->MdiArea()->setActiveSubWindow(grey->m_pChildFrame);
    const uint8_t before = first.planes[0][n - 1];
    ASSERT_TRUE(frame->Execute(ID_NEGATIVE));
    EXPECT_EQ(ViewPlanes(grey->m_image).planes[0][n - 1], 255 - before);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ImageCommandTest, GaussFitTogglesAndIsChecked)
{
    CFraloDoc* doc = frame->ActiveDocument();
    for (int expected : {1, 0}) {
        ASSERT_TRUE(frame->Execute(ID_GAUSS_FIT));
        EXPECT_EQ(doc->m_bGaussFit, expected);
        frame->UpdateCommandUI();
        EXPECT_EQ(frame->Action(ID_GAUSS_FIT)->isChecked(), expected == 1);
    }
}

TEST_F(ImageCommandTest, OnlineHelpOpensThePageOrGivesItsAddress)
{
    EXPECT_EQ(
        OpenedRunningTwice(ID_ONLINE_HELP),
        (QList<QUrl>{QUrl(CAboutDlg::HelpPageAddress()), QUrl(CAboutDlg::HelpPageAddress())}));
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                                        "La dernière version du logiciel est disponible sous :\n") +
                                    CAboutDlg::HelpPageAddress()});
}

} // namespace
