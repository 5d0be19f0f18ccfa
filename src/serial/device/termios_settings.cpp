#include "serial/device/termios_settings.h"

namespace zova {

namespace {

struct BaudEntry {
  int baud;
  speed_t speed;
};

constexpr BaudEntry kBauds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

tcflag_t SizeFlag(int bits) {
  switch (bits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

int SizeBits(tcflag_t cflag) {
  switch (cflag & CSIZE) {
    case CS5:
      return 5;
    case CS6:
      return 6;
    case CS7:
      return 7;
    default:
      return 8;
  }
}

}  // namespace

bool BaudToSpeed(int baud, speed_t& speed) {
  for (const auto& e : kBauds)
    if (e.baud == baud) {
      speed = e.speed;
      return true;
    }
  return false;
}

int SpeedToBaud(speed_t speed) {
  for (const auto& e : kBauds)
    if (e.speed == speed) return e.baud;
  return 0;
}

bool BuildTermios(const LineSettings& s, const termios& base, termios& out, int& err) {
  speed_t speed;
  if (!BaudToSpeed(s.baud, speed) || s.dataBits < 5 || s.dataBits > 8) {
    err = EINVAL;
    return false;
  }
  out = base;
  out.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | INPCK | IGNPAR | IUCLC | IMAXBEL);
  out.c_oflag &= ~OPOST;
  out.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
  out.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
  out.c_cflag |= CLOCAL | CREAD | SizeFlag(s.dataBits);
  if (s.parity != Parity::None) {
    out.c_cflag |= PARENB;
    out.c_iflag |= INPCK;
    if (s.parity == Parity::Odd) out.c_cflag |= PARODD;
  }
  if (s.stopBits == 2) out.c_cflag |= CSTOPB;
  if (s.markErrors) out.c_iflag |= INPCK | PARMRK;
  if (s.rtsCts) out.c_cflag |= CRTSCTS;
  if (s.xonXoffOut) out.c_iflag |= IXON;
  if (s.xonXoffIn) out.c_iflag |= IXOFF;
  out.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
  out.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
  // Reads are driven by poll(); a read takes what is there and never waits.
  out.c_cc[VMIN] = 0;
  out.c_cc[VTIME] = 0;
  cfsetispeed(&out, speed);
  cfsetospeed(&out, speed);
  err = 0;
  return true;
}

LineSettings ReadTermios(const termios& t) {
  LineSettings s;
  s.baud = SpeedToBaud(cfgetospeed(&t));
  s.dataBits = SizeBits(t.c_cflag);
  s.parity = !(t.c_cflag & PARENB)  ? Parity::None
             : (t.c_cflag & PARODD) ? Parity::Odd
                                    : Parity::Even;
  s.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
  s.rtsCts = (t.c_cflag & CRTSCTS) != 0;
  s.markErrors = (t.c_iflag & PARMRK) != 0;
  s.xonXoffOut = (t.c_iflag & IXON) != 0;
  s.xonXoffIn = (t.c_iflag & IXOFF) != 0;
  s.xonChar = t.c_cc[VSTART];
  s.xoffChar = t.c_cc[VSTOP];
  return s;
}

std::string SettingsDifference(const LineSettings& want, const LineSettings& got) {
  std::string out;
  auto add = [&](bool differs, const char* name) {
    if (!differs) return;
    if (!out.empty()) out += ", ";
    out += name;
  };
  add(want.baud != got.baud, "baud");
  add(want.dataBits != got.dataBits, "databits");
  add(want.parity != got.parity, "paritet");
  add(want.stopBits != got.stopBits, "stoppbit");
  add(want.rtsCts != got.rtsCts, "RTS/CTS");
  add(want.markErrors != got.markErrors, "feilmerking");
  add(want.xonXoffOut != got.xonXoffOut, "XON/XOFF ut");
  add(want.xonXoffIn != got.xonXoffIn, "XON/XOFF inn");
  add(want.xonChar != got.xonChar, "XON-tegn");
  add(want.xoffChar != got.xoffChar, "XOFF-tegn");
  return out;
}

}  // namespace zova
