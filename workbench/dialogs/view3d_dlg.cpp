#include "view3d_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "gl_wnd.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/point_cloud.h"
#include "workbench/core/save_rules.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/image_view.h"
#include "workbench/faces/workbench_settings.h"

namespace {

constexpr int kTickMs = 100;
constexpr float kRotationStep = 10.0f;
// Where the dialog stands on the screen: right of the picture.
constexpr int kDialogGap = 35;
constexpr int kDialogTop = 200;
constexpr int kFramePosition = 18;

struct Rotation {
    int id;
    const char* text;
    int axis; // 0 x, 1 y, 2 z
    float sign;
};

constexpr Rotation kRotations[] = {
    {CView3DDlg::IDC_RX_PLUS, "Rx+", 1, 1.0f}, {CView3DDlg::IDC_RX_MINUS, "Rx-", 1, -1.0f},
    {CView3DDlg::IDC_RY_PLUS, "Ry+", 0, 1.0f}, {CView3DDlg::IDC_RY_MINUS, "Ry-", 0, -1.0f},
    {CView3DDlg::IDC_RZ_PLUS, "Rz+", 2, 1.0f}, {CView3DDlg::IDC_RZ_MINUS, "Rz-", 2, -1.0f},
};

} // namespace

CView3DDlg::CView3DDlg(QWidget* parent)
    : QDialog(parent), m_pApp(Settings()), m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QStringLiteral("Visualisation 3D"));
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < 6; ++i) {
        QPushButton* button = AddButton(kRotations[i].id, kRotations[i].text);
        layout->addWidget(button, i / 2, i % 2);
        m_rotationButtons.push_back(button);
        const int id = kRotations[i].id;
        connect(button, &QPushButton::clicked, this,
                [this, id] { RunAtErrorEdge([&] { OnRotate(id); }); });
    }
    m_pNegative = new QCheckBox(QString::fromUtf8("&Image négative en quittant"), this);
    m_pNegative->setObjectName(QString::number(IDC_NEGATIVE));
    layout->addWidget(m_pNegative, 3, 0, 1, 2);
    m_pAutoButton = AddButton(IDOK, "&Rot. auto.");
    m_pAutoButton->setDefault(true);
    connect(m_pAutoButton, &QPushButton::clicked, this,
            [this] { RunAtErrorEdge([&] { OnOK(); }); });
    layout->addWidget(m_pAutoButton, 4, 0);
    QPushButton* quit = AddButton(2, "&Quitter");
    connect(quit, &QPushButton::clicked, this, [this] { RunAtErrorEdge([&] { OnCancel(); }); });
    layout->addWidget(quit, 4, 1);
}

CView3DDlg::~CView3DDlg() = default;

QPushButton* CView3DDlg::AddButton(int id, const char* text)
{
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

int CView3DDlg::DoModal()
{
    OnInitDialog();
    return m_pDoc3D ? exec() : Rejected;
}

void CView3DDlg::OnInitDialog()
{
    m_pSourceDoc = Documents()->ActiveDocument();
    if (!m_pSourceDoc)
        return;
    m_nWidth = m_pSourceDoc->m_nWidth;
    m_nHeight = m_pSourceDoc->m_nHeight;

    m_pDoc3D = Documents()->NewImageDocument(m_nWidth, m_nHeight);
    m_pDoc3D->m_pView->CloseDisplayWindow();
    m_pDoc3D->MoveFrameTo(kFramePosition, kFramePosition);
    m_pDoc3D->SetKind(KindShownIn3D);
    m_pDoc3D->SetName(QStringLiteral("Visu3D"));
    m_pDoc3D->UpdateTitle();

    if (!CloudGreyPlane(ViewPlanes(m_pSourceDoc->m_image), m_nWidth, m_nHeight, &m_pGrey))
        UserMessage(QString::fromUtf8("Erreur sur taille image !"));

    m_pGlWnd = std::make_unique<CGlWnd>();
    m_pGlWnd->InitGL(m_nWidth, m_nHeight);

    move(m_nWidth + kDialogGap, kDialogTop);
    m_bAutoRotate = false;
    m_bNegativeOnExit = false;
    m_pNegative->setChecked(false);
    m_fAngleX = -2.0f;
    m_fAngleY = 20.0f;
    m_fAngleZ = 10.0f;
    m_nTicks = 0;
    m_timers.SetTimer(TIMER_FIRST_PICTURE, kTickMs);
}

void CView3DDlg::Draw()
{
    if (!m_pGlWnd || !m_pDoc3D)
        return;
    m_pGlWnd->DrawPointCloud(m_pGrey.data(), m_nWidth, m_nHeight, 1, m_fAngleX, m_fAngleY,
                             m_fAngleZ);
    if (m_pGlWnd->HasContext())
        m_pDoc3D->m_pView->ShowPicture(m_pGlWnd->Picture());
}

void CView3DDlg::OnTimer(int id)
{
    if (id == TIMER_FIRST_PICTURE) {
        Draw();
        if (++m_nTicks > 0)
            m_timers.KillTimer(TIMER_FIRST_PICTURE);
    } else if (id == TIMER_AUTO_ROTATION) {
        Draw();
    } else {
        return;
    }
    m_fAngleX -= 2.0f;
    m_fAngleY -= 20.0f;
    m_fAngleZ -= 10.0f;
}

void CView3DDlg::OnOK()
{
    if (m_bAutoRotate) {
        m_pAutoButton->setText(QStringLiteral("Rot. auto."));
        m_timers.KillTimer(TIMER_AUTO_ROTATION);
    } else {
        m_pAutoButton->setText(QStringLiteral("&Stop rot."));
        m_timers.SetTimer(TIMER_AUTO_ROTATION, kTickMs);
    }
    for (QPushButton* button : m_rotationButtons)
        button->setEnabled(m_bAutoRotate);
    m_bAutoRotate = !m_bAutoRotate;
}

void CView3DDlg::OnCancel()
{
    m_bNegativeOnExit = m_pNegative->isChecked();
    QDialog::reject();
}

void CView3DDlg::OnRotate(int buttonId)
{
    for (const Rotation& r : kRotations)
        if (r.id == buttonId) {
            float* angles[3] = {&m_fAngleX, &m_fAngleY, &m_fAngleZ};
            *angles[r.axis] += r.sign * kRotationStep;
        }
    Draw();
}

void CView3DDlg::done(int result)
{
    QDialog::done(result);
    if (m_bFinished)
        return;
    m_bFinished = true;
    RunAtErrorEdge([this] { PostNcDestroy(); });
}

void CView3DDlg::PostNcDestroy()
{
    m_timers.KillTimer(TIMER_FIRST_PICTURE);
    m_timers.KillTimer(TIMER_AUTO_ROTATION);
    if (!m_pDoc3D)
        return;
    // Closed before timer 1 drew: the first picture is drawn now.
    if (m_nTicks == 0)
        Draw();
    const size_t count = size_t(m_nWidth) * size_t(m_nHeight);
    std::vector<uint8_t> red(count), green(count), blue(count);
    if (m_pGlWnd)
        m_pGlWnd->CopyDcPixels(m_nWidth, m_nHeight, red.data(), green.data(), blue.data());
    Vobject picture;
    {
        QuietLibrary quiet;
        if (gen_image3(&picture, "byte", m_nWidth, m_nHeight, red.data(), green.data(),
                       blue.data()) == V_OK)
            m_pDoc3D->SetImage(picture);
    }
    m_pGlWnd.reset();
    m_pGrey = {};

    ImageView* view = m_pDoc3D->m_pView;
    m_pDoc3D->SetKind(0);
    view->ShowPicture({});
    view->OpenDisplayWindow();
    if (m_bNegativeOnExit) {
        QuietLibrary quiet;
        invert_image(m_pDoc3D->m_image, &m_pDoc3D->m_image);
    }
    view->DisplayImage();
}
