#include "e2e/support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "support/test_support.h"

namespace zova::test {

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  int pipeFd[2];
  if (pipe2(pipeFd, O_CLOEXEC) != 0) return;
  char tmpl[] = "/tmp/zova-e2e-err-XXXXXX";
  int errFd = mkstemp(tmpl);
  errPath_ = tmpl;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeFd[1], 1);
    dup2(errFd, 2);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(pipeFd[1]);
  close(errFd);
  out_ = pipeFd[0];
}

Process::~Process() {
  if (pid_ > 0 && Wait(0) == -1) {
  }
  if (out_ >= 0) close(out_);
  if (!errPath_.empty()) unlink(errPath_.c_str());
}

bool Process::ReadSome(int timeoutMs) {
  pollfd p{out_, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return false;
  char buf[4096];
  ssize_t n = read(out_, buf, sizeof buf);
  if (n <= 0) return false;
  partial_.append(buf, static_cast<size_t>(n));
  for (size_t nl; (nl = partial_.find('\n')) != std::string::npos;) {
    lines_.push_back(partial_.substr(0, nl));
    partial_.erase(0, nl + 1);
  }
  return true;
}

std::string Process::WaitForLine(const std::string& text, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    for (; scanned_ < lines_.size(); ++scanned_)
      if (lines_[scanned_].find(text) != std::string::npos) return lines_[scanned_++];
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    end - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0 || !ReadSome(static_cast<int>(left))) return "";
  }
}

void Process::Signal(int sig) {
  if (pid_ > 0) kill(pid_, sig);
}

int Process::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      while (ReadSome(0)) {
      }
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() >= end) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
    ReadSome(10);
  }
}

std::string Process::Stderr() {
  return ReadFile(errPath_);
}

}  // namespace zova::test
