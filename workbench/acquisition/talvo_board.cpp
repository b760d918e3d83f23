#include "talvo_board.h"

#include <algorithm>

namespace {

const char* const kSystem = "\\\\.\\D_SYSTEM_TALVO";
const char* const kFormat = "ccir.dcf";
constexpr int32_t kLargest = 4096;
constexpr int32_t kBufferAttribute = 60;

} // namespace

int CTalvoBoard::Fail(int code)
{
    Release();
    return code;
}

int CTalvoBoard::InitTalvo(int* width, int* height)
{
    m_nWidth = *width = 512;
    m_nHeight = *height = 480;
    m_nBands = 1;
    if (!DvlAppAlloc(DVL_DEFAULT, &m_idApp) || !m_idApp)
        return Fail(1);
    DvlAppControl(0x40000000, 0);
    DvlAppInquire(DVL_APP_SYSTEM_COUNT, &m_nAppValue8);
    DvlAppInquire(DVL_APP_BUFFER_COUNT, &m_nAppValue9);
    if (!DvlSysAlloc(kSystem, 0, 0, &m_idSystem) || !m_idSystem)
        return Fail(2);
    DvlSysInquire(m_idSystem, DVL_SYS_DIGITIZER_COUNT, &m_nDigitizers);
    if (m_nDigitizers == 0)
        return Fail(3);
    if (!DvlDigAlloc(m_idSystem, DVL_DEFAULT, kFormat, DVL_DEFAULT, &m_idDigitizer) ||
        !m_idDigitizer)
        return Fail(4);
    DvlSysControl(m_idSystem, 2042, -9997);
    DvlDigInquire(m_idDigitizer, DVL_DIG_SIZE_X, &m_nDigWidth);
    DvlDigInquire(m_idDigitizer, DVL_DIG_SIZE_Y, &m_nDigHeight);
    DvlDigInquire(m_idDigitizer, DVL_DIG_SIZE_BAND, &m_nBands);
    m_nWidth = *width = std::min(m_nDigWidth, kLargest);
    m_nHeight = *height = std::min(m_nDigHeight, kLargest);
    m_nBufferAttr = kBufferAttribute;
    if (!DvlBufAllocColor(m_idSystem, m_nBands, m_nWidth, m_nHeight, 8, m_nBufferAttr,
                          &m_idBuffer) ||
        !m_idBuffer)
        return Fail(5);
    DvlBufClear(m_idBuffer, 0, 0);
    return 0;
}

int CTalvoBoard::AcqPermTalvo(DvlWindow window)
{
    if (!m_idBuffer)
        return 1;
    if (!DvlDispAlloc(m_idSystem, DVL_DEFAULT, "D_DEFAULT", DVL_DEFAULT, &m_idDisplay))
        return 4;
    if (!m_idDisplay)
        return 3;
    if (DvlDispInquire(m_idDisplay, DVL_DISP_MODE, nullptr) != DVL_DISP_WINDOWED) {
        DvlDispFree(m_idDisplay);
        m_idDisplay = 0;
        return 2;
    }
    DvlDispSelectWindow(m_idDisplay, m_idBuffer, window);
    DvlDigGrabContinuous(m_idDigitizer, m_idBuffer);
    return 0;
}

void CTalvoBoard::CopyBand(int32_t band, uint8_t* plane, int width, int height) const
{
    DvlBufGetColor2d(m_idBuffer, DVL_PLANAR, band, 0, 0, width, height, plane);
}

void CTalvoBoard::GrabRGB(uint8_t* red, uint8_t* green, uint8_t* blue, int width, int height)
{
    DvlDigHalt(m_idDigitizer);
    CopyBand(DVL_RED, red, width, height);
    CopyBand(DVL_GREEN, green, width, height);
    CopyBand(DVL_BLUE, blue, width, height);
    DvlDigHalt(m_idDigitizer);
    DvlDispDeselect(m_idDisplay, m_idBuffer);
    DvlDispFree(m_idDisplay);
    m_idDisplay = 0;
    DvlBufClear(m_idBuffer, 0, 0);
}

void CTalvoBoard::GrabGrey(uint8_t* plane, int width, int height)
{
    DvlDigHalt(m_idDigitizer);
    CopyBand(DVL_RED, plane, width, height);
    DvlDigGrabContinuous(m_idDigitizer, m_idBuffer);
}

void CTalvoBoard::Release()
{
    if (m_idDisplay)
        DvlDispFree(m_idDisplay);
    if (m_idBuffer)
        DvlBufFree(m_idBuffer);
    if (m_idDigitizer)
        DvlDigFree(m_idDigitizer);
    if (m_idSystem)
        DvlSysFree(m_idSystem);
    if (m_idApp)
        DvlAppFree(m_idApp);
    m_idApp = m_idSystem = m_idDigitizer = m_idBuffer = m_idDisplay = 0;
}
