// The serial line of the piezo supplies: which device COM1 and COM2 are, and
// the line settings of each supply model.
#pragma once

#include <string>
#include <termios.h>

namespace instruments {

// The device of COM1 (index 0) or COM2 (index 1): $ONDULA_COM1 or $ONDULA_COM2
// when set, else /dev/ttyS0 or /dev/ttyS1; empty for any other index.
std::string SerialDevicePath(int portIndex);

// Sets `line` for supply `model`: 9600 baud, 8 data bits, XON/XOFF both ways,
// raw input and output (a carriage return leaves as 0x0D), reads that return at
// once with what has arrived; model 0 odd parity and 2 stop bits, any other
// model no parity and 1 stop bit.
void ApplySupplyLine(termios& line, int model);

// True when the line `now` holds every setting of `wanted` but its parity: a
// pseudo-terminal (the simulated supply's line) cannot keep parity, and once
// everything else is set, setting it again is refused though nothing is amiss.
bool HoldsAllButParity(const termios& wanted, const termios& now);

} // namespace instruments
