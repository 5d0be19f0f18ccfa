#include "core/error_text.h"

#include <cerrno>
#include <cstring>

#include "core/latin1.h"

namespace zova {

namespace {

struct DeviceText {
  int err;
  const char* utf8;
};

constexpr DeviceText kDeviceTexts[] = {
    {ENOENT, "Enheten finnes ikke"},
    {ENODEV, "Enheten er borte (frakoblet?)"},
    {ENXIO, "Enheten er borte (frakoblet?)"},
    {EACCES, "Ingen tilgang til enheten"},
    {EPERM, "Ingen tilgang til enheten"},
    {EBUSY, "Enheten er i bruk av et annet program"},
    {EIO, "I/O-feil på linjen"},
    {ENOTTY, "Ikke en serieport"},
    {EINVAL, "Ugyldig innstilling for linjen"},
    {ETIMEDOUT, "Tidsavbrudd"},
    {ECONNREFUSED, "Serieserveren avviste forbindelsen"},
    {ECONNRESET, "Forbindelsen ble brutt"},
    {EPIPE, "Forbindelsen ble brutt"},
    {ENOTCONN, "Ingen forbindelse"},
    {EHOSTUNREACH, "Serieserveren kan ikke nås"},
    {ENETUNREACH, "Nettet kan ikke nås"},
    {EAGAIN, "Linjen er opptatt, prøv igjen"},
    {EMFILE, "For mange åpne filer"},
    {ENFILE, "For mange åpne filer"},
    {ENAMETOOLONG, "Navnet på enheten er for langt"},
};

// strerror is not thread-safe, and the drivers fail on their own threads.
std::string SystemText(int err) {
  char buf[256];
  // The GNU strerror_r returns its text, which need not be in Buf.
  return std::string(strerror_r(err, buf, sizeof buf));
}

std::string DeviceErrorText(int err) {
  for (const auto& e : kDeviceTexts)
    if (e.err == err) return L1(e.utf8);
  if (err == 0) return {};
  // Unknown codes keep the number so that a report can be looked up.
  return L1("Systemfeil ") + std::to_string(err) + ": " + SystemText(err);
}

}  // namespace

std::string ErrorText(int err, ErrorContext context) {
  switch (context) {
    case ErrorContext::Device:
      return DeviceErrorText(err);
    case ErrorContext::FileCopy:
    case ErrorContext::Printing:
      return SystemText(err);
    case ErrorContext::Storage:
      return "IOResult=" + std::to_string(err);
    case ErrorContext::TextFile:
      return "IOResult = " + std::to_string(err);
  }
  return SystemText(err);
}

}  // namespace zova
