#pragma once

// Sets the rate of a serial line in bits per second, also rates outside the
// table of standard rates (through the driver's custom-rate interface).
// False when the driver refuses it.
bool SetLineSpeed(int fd, unsigned int bitsPerSecond);
