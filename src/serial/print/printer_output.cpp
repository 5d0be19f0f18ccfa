#include "serial/print/printer_output.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/error_text.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "core/stop_signals.h"

extern char** environ;

namespace zova {

namespace {

// Runs Argv with Input on its standard input; its standard output is
// collected into Output when asked for. False when it cannot be run or
// exits non-zero.
bool RunWithInput(const std::vector<std::string>& argv, const std::string& input,
                  std::string* output, std::string& error) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    error = ErrorText(errno, ErrorContext::Printing);
    return false;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = ErrorText(errno, ErrorContext::Printing);
    close(in[0]);
    close(in[1]);
    return false;
  }
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, in[0], 0);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  StopSignals::PrepareSpawn(attr);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0], &fa, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&fa);
  close(in[0]);
  close(out[1]);
  if (rc != 0) {
    error = argv[0] + ": " + ErrorText(rc, ErrorContext::Printing);
    close(in[1]);
    close(out[0]);
    return false;
  }
  size_t done = 0;
  while (done < input.size()) {
    ssize_t n = write(in[1], input.data() + done, input.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(in[1]);
  char buf[4096];
  for (;;) {
    ssize_t n = read(out[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (output) output->append(buf, static_cast<size_t>(n));
  }
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = argv[0] + " feilet";
    return false;
  }
  return done == input.size();
}

std::vector<std::string> InstalledQueues() {
  std::string out, error;
  std::vector<std::string> queues;
  if (!RunWithInput({"lpstat", "-e"}, "", &out, error)) return queues;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    std::string q = Trim(out.substr(start, end - start));
    if (!q.empty()) queues.push_back(q);
    start = end + 1;
  }
  return queues;
}

bool WriteDevice(const PrinterSettings& p, const PrintJob& job, std::string& error) {
  std::FILE* f = std::fopen(p.skriver.c_str(), "ab");
  if (!f) {
    error = p.skriver + ": " + ErrorText(errno, ErrorContext::Printing);
    return false;
  }
  std::string all = p.initPrn + job.text + p.exitPrn;
  bool ok = std::fwrite(all.data(), 1, all.size(), f) == all.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) error = p.skriver + ": " + ErrorText(errno, ErrorContext::Printing);
  return ok;
}

}  // namespace

std::string PrinterForSkriver(const std::string& skriver, const std::vector<std::string>& queues) {
  std::string s = Trim(skriver);
  if (s.empty() || UpperCase(s) == "PRN") return {};
  if (auto n = ParseInteger(s)) {
    if (queues.size() > 1 && *n >= 1 && static_cast<size_t>(*n) <= queues.size())
      return queues[static_cast<size_t>(*n) - 1];
    return {};
  }
  return s;
}

std::vector<std::string> LpArguments(const std::string& printer, const PrintJob& job) {
  std::vector<std::string> a{"lp", "-s"};
  if (!printer.empty()) a.insert(a.end(), {"-d", printer});
  if (!job.title.empty()) a.insert(a.end(), {"-t", job.title});
  if (job.raw) {
    a.insert(a.end(), {"-o", "raw"});
    return a;
  }
  const int size = job.fontSize > 0 ? job.fontSize : 12;
  // Characters and lines per inch of a fixed-pitch font at that point size.
  const long cpi = std::lround(120.0 / size);
  const long lpi = std::lround(72.0 / size);
  a.insert(a.end(),
           {"-o", "cpi=" + std::to_string(cpi > 0 ? cpi : 1), "-o",
            "lpi=" + std::to_string(lpi > 0 ? lpi : 1), "-o", "document-format=text/plain"});
  if (job.landscape) a.insert(a.end(), {"-o", "landscape"});
  return a;
}

bool WritesDevice(const PrinterSettings& p) {
  return p.matrise && UpperCase(Trim(p.skriver)) != "PRN";
}

bool SubmitPrintJob(const PrinterSettings& p, const PrintJob& job, std::string& error) {
  if (WritesDevice(p)) return WriteDevice(p, job, error);
  std::string printer = PrinterForSkriver(p.skriver, InstalledQueues());
  return RunWithInput(LpArguments(printer, job), job.raw ? job.text : Latin1ToUtf8(job.text),
                      nullptr, error);
}

}  // namespace zova
