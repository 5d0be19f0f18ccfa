#include "core/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>

#include "core/latin1.h"

namespace zova {
namespace {

TEST(ErrorText, EachContextKeepsItsOperatorText) {
  const struct {
    int err;
    ErrorContext context;
    const char* utf8;
  } cases[] = {
      {ENOENT, ErrorContext::Device, "Enheten finnes ikke"},
      {ENXIO, ErrorContext::Device, "Enheten er borte (frakoblet?)"},
      {EPERM, ErrorContext::Device, "Ingen tilgang til enheten"},
      {EBUSY, ErrorContext::Device, "Enheten er i bruk av et annet program"},
      {EIO, ErrorContext::Device, "I/O-feil på linjen"},
      {ETIMEDOUT, ErrorContext::Device, "Tidsavbrudd"},
      {EPIPE, ErrorContext::Device, "Forbindelsen ble brutt"},
      {EHOSTUNREACH, ErrorContext::Device, "Serieserveren kan ikke nås"},
      {EAGAIN, ErrorContext::Device, "Linjen er opptatt, prøv igjen"},
      {0, ErrorContext::Device, ""},
      {EDOM, ErrorContext::Device, "Systemfeil 33: Numerical argument out of domain"},
      {ENOENT, ErrorContext::FileCopy, "No such file or directory"},
      {EFBIG, ErrorContext::FileCopy, "File too large"},
      {EACCES, ErrorContext::Printing, "Permission denied"},
      {ENOENT, ErrorContext::Storage, "IOResult=2"},
      {ENOSPC, ErrorContext::Storage, "IOResult=28"},
      {EACCES, ErrorContext::TextFile, "IOResult = 13"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorText(c.err, c.context), L1(c.utf8))
        << c.err << " in context " << static_cast<int>(c.context);
}

// A device fault the operator can act on must not read like any other.
TEST(ErrorText, DeviceFaultsAreTellableApart) {
  const int distinct[] = {ENOENT,      ENODEV,    EACCES,       EBUSY,       EIO,      ENOTTY,
                          EINVAL,      ETIMEDOUT, ECONNREFUSED, ECONNRESET,  ENOTCONN, EHOSTUNREACH,
                          ENETUNREACH, EAGAIN,    EMFILE,       ENAMETOOLONG};
  std::set<std::string> seen;
  for (int e : distinct) seen.insert(ErrorText(e, ErrorContext::Device));
  EXPECT_EQ(seen.size(), std::size(distinct));
}

}  // namespace
}  // namespace zova
