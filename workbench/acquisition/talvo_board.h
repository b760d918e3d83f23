// The Talvo board, driven through the board library: its application,
// system, digitizer, buffer and display, a continuous grab that the library
// draws into a window of the program, and frames copied out as planes.
#pragma once

#include <cstdint>

#include <dvl/board.h>

class CTalvoBoard {
public:
    CTalvoBoard() = default;
    // Releases nothing: the board is released when its acquisition ends.
    ~CTalvoBoard() = default;
    CTalvoBoard(const CTalvoBoard&) = delete;
    CTalvoBoard& operator=(const CTalvoBoard&) = delete;

    // Allocates application, system, digitizer ("ccir.dcf", its size capped
    // at 4096 x 4096) and a cleared buffer of the digitizer's size. 0 on
    // success; 1 no application, 2 no system, 3 no digitizer on the system,
    // 4 no digitizer allocated, 5 no buffer: then what was allocated is
    // released. The size is set on every path (512 x 480 until the digitizer
    // gives its own).
    int InitTalvo(int* width, int* height);
    // Shows the buffer in `window` and starts the continuous grab into it. 0
    // on success; 1 no buffer, 2 a display that does not draw into windows
    // (freed), 3 a display without identifier, 4 no display.
    int AcqPermTalvo(DvlWindow window);
    // Freezes: halts the grab, copies the red, green and blue bands of the
    // region (0, 0, width, height) into the planes (width bytes a row; rows
    // and columns beyond the board's size are not written), takes the buffer
    // off the display, frees the display and clears the buffer.
    void GrabRGB(uint8_t* red, uint8_t* green, uint8_t* blue, int width, int height);
    // Copies the red band into `plane` the same way and grabs on.
    void GrabGrey(uint8_t* plane, int width, int height);
    // Frees display, buffer, digitizer, system and application (what is
    // allocated) and zeroes their identifiers.
    void Release();

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nDigWidth = 0;
    int32_t m_nDigHeight = 0;
    int32_t m_nBands = 0;
    int32_t m_nDigitizers = 0;
    DvlId m_idApp = 0;
    DvlId m_idSystem = 0;
    DvlId m_idDigitizer = 0;
    DvlId m_idBuffer = 0;
    DvlId m_idDisplay = 0;
    int32_t m_nBufferAttr = 0;
    int32_t m_nAppValue8 = 0;
    int32_t m_nAppValue9 = 0;

private:
    int Fail(int code);
    void CopyBand(int32_t band, uint8_t* plane, int width, int height) const;
};
