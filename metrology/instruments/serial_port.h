// The serial channel to a piezo supply: set-points go out as decimal digits and
// a carriage return, one byte per write, 20 ms after each. A byte that the line
// cannot take within 1 s (the supply holds it with XOFF, or is gone) drops the
// set-point; the channel is then dead until it is made again, and says so once.
// A channel whose line settings were refused is closed and dead from the start.
#pragma once

#include <cstdint>

#include "message_sink.h"
#include <clock/clock.h>

namespace instruments {

class CSerialPort {
public:
    // Opens COM1 (index 0) or COM2 (index 1) for exclusive use and sets its line
    // for supply `model`. A port that will not open is reported through
    // `messages`, once; any other index opens nothing. Either way the channel
    // then ignores what it is asked to send. A port that refuses the line
    // settings is closed again, and its first send reports the supply dead.
    CSerialPort(int portIndex, int model, ondula::Clock& clock, MessageSink messages);
    // Closes the port at once, dropping output the line has not taken.
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Applies the line settings of `model`; false, after the message "Erreur
    // fonction BuildCommDCB", when the device refuses them.
    bool SetupLine(int model);
    // Writes `text`; true only when every byte of it went out.
    bool Write(const char* text);
    // Sends `value` clamped to 0..1023 as "%d" and a carriage return.
    void SendSetpoint(int16_t value);

    bool IsOpen() const { return m_hPort >= 0; }
    // True once a byte could not be delivered: later sends return at once.
    bool IsDead() const { return m_bDead; }

private:
    bool WriteByte(char byte);
    void Close();
    // Marks the channel dead and says so.
    void GiveUp();

    int m_hPort = -1;
    int m_nComPort;
    bool m_bDead = false;
    bool m_bLineRefused = false;
    ondula::Clock& m_clock;
    MessageSink m_messages;
};

} // namespace instruments
