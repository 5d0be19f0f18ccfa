#pragma once
// Line settings to and from a termios record: pure, so that what the kernel
// gives back can be compared with what was asked for.

#include <termios.h>

#include <string>

#include "serial/device/serial_device.h"

namespace zova {

// The speed_t constant of a baud rate; false for a rate the kernel has no
// constant for.
bool BaudToSpeed(int baud, speed_t& speed);
int SpeedToBaud(speed_t speed);  // 0 for an unknown constant

// Raw mode (no echo, no line editing, no CR/LF translation, no signals) with
// the settings applied on top of Base (whose other control characters are
// kept). Software flow maps to IXON/IXOFF only: IXANY would let any byte from
// the control restart output it had stopped with XOFF. False with Err =
// EINVAL for an unknown baud rate or a data size outside 5..8.
bool BuildTermios(const LineSettings& settings, const termios& base, termios& out, int& err);

// The settings a termios record carries. DtrDsr and StripNul have no termios
// form and come back false.
LineSettings ReadTermios(const termios& t);

// Names of the termios-carried fields in which Got differs from Want,
// comma-separated; empty when they agree.
std::string SettingsDifference(const LineSettings& want, const LineSettings& got);

}  // namespace zova
