#pragma once

// The device control block <-> termios mapping of serialport.cpp, apart from
// any device, so that it can be checked field by field: a pseudo-terminal
// forces CS8 and clears PARENB, so those fields cannot be read back from one.

#include "platform/serialport.h"

#include <termios.h>

namespace platform {

// Raw mode plus every field the table maps; a rate without a Bxxx constant
// leaves the speed as it was (serialport.cpp sets it through termios2).
void stateToTermios(const CommState& state, termios& tio);
// The mapped fields back; the rest of the state is left as it was.
void termiosToState(const termios& tio, CommState& state);

} // namespace platform
