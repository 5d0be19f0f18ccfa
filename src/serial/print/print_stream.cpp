#include "serial/print/print_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/error_text.h"
#include "serial/print/printer_output.h"

namespace zova {

namespace {

// A matrix printer prints as its data come; a few lines at a time is soon
// enough, and a write a character would cost a system call each.
constexpr size_t kDeviceChunk = 512;

const std::string kUel = "\x1B%-12345X";

}  // namespace

PrintRun TakePrintData(std::string_view run) {
  const size_t end = run.find(kPrintEnd);
  if (end == std::string_view::npos) return {run.size(), false};
  return {end + 1, true};
}

std::string PrintStreamHead(const PrinterSettings& p) {
  std::string head;
  if (p.pjl) head = kUel + "@PJL\r\n@PJL ENTER LANGUAGE = ESCP\r\n";
  return head + p.initPrn;
}

std::string PrintStreamTail(const PrinterSettings& p) {
  return p.exitPrn + (p.pjl ? kUel : std::string());
}

PrintStream::~PrintStream() {
  if (fd_ >= 0) ::close(fd_);
}

bool PrintStream::Open(std::string& error) {
  pending_ = PrintStreamHead(p_);
  if (WritesDevice(p_)) {
    fd_ = ::open(p_.skriver.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      error_ = error = p_.skriver + ": " + ErrorText(errno, ErrorContext::Printing);
      pending_.clear();
      return false;
    }
  }
  opened_ = true;
  return true;
}

void PrintStream::Write(std::string_view data) {
  if (!opened_ || lost_) return;
  pending_.append(data);
  if (fd_ >= 0 && pending_.size() >= kDeviceChunk) Flush();
}

bool PrintStream::Flush() {
  size_t done = 0;
  while (done < pending_.size()) {
    const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = p_.skriver + ": " + ErrorText(n < 0 ? errno : EIO, ErrorContext::Printing);
      lost_ = true;
      pending_.clear();
      return false;
    }
    done += static_cast<size_t>(n);
  }
  pending_.clear();
  return true;
}

PrintFault PrintStream::Close(std::string& error) {
  if (!opened_) {
    error = error_;
    return PrintFault::Refused;
  }
  opened_ = false;
  if (!lost_) pending_ += PrintStreamTail(p_);
  if (fd_ < 0) {
    PrintJob job;
    job.text = std::move(pending_);
    job.raw = true;
    job.title = title_;
    pending_.clear();
    return SubmitPrintJob(p_, job, error) ? PrintFault::None : PrintFault::Refused;
  }
  if (!lost_) Flush();
  if (::close(fd_) != 0 && !lost_) {
    error_ = p_.skriver + ": " + ErrorText(errno, ErrorContext::Printing);
    lost_ = true;
  }
  fd_ = -1;
  error = error_;
  return lost_ ? PrintFault::Lost : PrintFault::None;
}

}  // namespace zova
