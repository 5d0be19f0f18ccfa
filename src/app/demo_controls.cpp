#include "app/demo_controls.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "core/latin1.h"
#include "core/paths.h"
#include "core/station_log.h"
#include "core/stop_signals.h"

namespace zova::app {

namespace {

constexpr int kRounds = 500;

// The demo's serial machines and the controls on their lines.
struct DemoLine {
  int machine;
  const char* control;
  bool paced;  // at 9600 baud, so its characters can be watched
};
constexpr DemoLine kLines[] = {
    {1, "standard", false},   {2, "standard", true},  {4, "okuma", false},
    {5, "heidenhain", false}, {6, "terminal", false}, {7, "standard", false},
    {8, "lsv2", false},       {9, "mazatrol", false}, {10, "box", false}};

std::string LinkOf(const std::string& dir, int machine) {
  return dir + "cnc" + std::to_string(machine);
}

std::string FindCncsim() {
  if (const char* env = std::getenv("ZOVA_CNCSIM"); env && *env) return env;
  const std::string exeDir = ProgramDir();
  // Installed next to the station, or in the build tree's sim folder.
  for (const std::string& p : {exeDir + "cncsim", exeDir + "../../sim/cncsim"})
    if (::access(p.c_str(), X_OK) == 0) return p;
  return {};
}

bool LinkExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// A child that dies with the station, so no control outlives its demo.
// Its output goes to Log, not into the station's own.
bool Spawn(const std::vector<std::string>& argv, const std::string& log) {
  pid_t parent = ::getpid();
  pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    StopSignals::ResetInChild();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(0);
    int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  return true;
}

}  // namespace

std::string DemoControlScript(int machine, const std::string& dir, int rounds) {
  const std::string n = std::to_string(machine);
  std::string s = "# demo control " + n + ", written by the station\nwait-open\n";
  if (machine == 10) {
    // The logging box answers the station's checks; Fres 1 starts its
    // program, the spindle runs, both stop.
    s += "box-serve 2000 --word 0000\n";
    for (int r = 0; r < rounds; ++r)
      s += "box-set 0001 --serve 2500\nbox-set 0003 --serve 6000\nbox-set 0000 --serve 8000\n";
    return s;
  }
  s += "wait 1500\n";
  for (int r = 0; r < rounds; ++r) {
    if (machine == 1) {
      // The milling machine asks for its program, then punches a new version
      // of another one.
      s += "request \"%[CR][LF](O1000) M30[CR][LF]\"\n";
      s += "capture " + dir + "Temp/fres1-mottatt.nc --quiet 1500 --first 20000\n";
      s += "wait 4000\nsend " + dir + "Demo/O2001.NC\nwait 6000\n";
    } else if (machine == 4) {
      // The Okuma lathe takes its program only behind the "$O5000.MIN"
      // header, then punches one whose comment holds the stop code.
      s += "request \"%[CR][LF](O5000) M30[CR][LF]%\"\n";
      s += "okuma-receive " + dir +
           "Temp/okuma-mottatt.nc --name O5000.MIN --quiet 1500 --timeout 20000\n";
      s += "wait 3000\nbtr-punch " + dir + "Demo/O5001.NC\nwait 7000\n";
    } else if (machine == 5) {
      // The Heidenhain control saves its program on the station and loads it
      // back, block by block; the station tells it the program was stored.
      s += "hh-save " + dir + "Demo/P100.H --name P100 --melding --timeout 20000\nwait 5000\n";
      s += "hh-load " + dir + "Temp/tnc-mottatt.h --name P100 --timeout 20000\nwait 6000\n";
    } else if (machine == 6) {
      // The operator at the terminal types O1000 and, once the name is in
      // Fres 2's row, orders it sent.
      const std::string prompt = "screen \"Tast inn filnavn:\" --timeout 30000\n";
      s += prompt + "wait 3000\nkeys O1000[CR]\n";
      s += "screen \"Klar for sending...\" --timeout 30000\n" + prompt;
      s += "wait 2000\nkeys [TAB]\nscreen \"Sending til maskin:\" --timeout 30000\nwait 15000\n";
    } else if (machine == 7) {
      // Fres 2 takes what the terminal has sent it.
      s += "capture " + dir + "Temp/fres2-mottatt.nc --quiet 1500 --first 60000\n";
    } else if (machine == 8) {
      // The LSV2 mill asks for its program, offers one of its own and
      // reports its status.
      s += "lsv2-request O6000 " + dir + "Temp/lsv2-mottatt.nc --timeout 20000\n";
      s += "wait 4000\nlsv2-offer O6001 " + dir + "Demo/O6001.NC --pr --timeout 20000\n";
      s += "wait 3000\nlsv2-send \"R ST I0001\" --timeout 20000\nwait 5000\n";
    } else if (machine == 9) {
      // The Mazak offers its program 30, then asks for it back: the
      // station sends what the Filnavn cell names.
      s += "maz-offer " + dir + "Demo/mazak.txt --timeout 20000\nwait 3000\n";
      s += "maz-fetch " + dir + "Temp/mazak-mottatt.txt --timeout 20000\nwait 7000\n";
    } else {
      s += "send " + dir + "Demo/O3001.NC\nwait 5000\n";
      s += "request \"%[CR][LF](O1000) M30[CR][LF]\"\n";
      s += "capture " + dir + "Temp/dreiebenk-mottatt.nc --quiet 1500 --first 20000\n";
      s += "wait 5000\n";
    }
  }
  return s;
}

int StartDemoControls(const std::string& dir) {
  const std::string cncsim = FindCncsim();
  if (cncsim.empty()) {
    LogStationWarning(
        L1("demo: finner ikke cncsim; maskinene på serielinje kan ikke åpne linjene sine"));
    return 0;
  }
  int started = 0;
  for (const DemoLine& l : kLines) {
    const std::string m = std::to_string(l.machine);
    const std::string link = LinkOf(dir, l.machine);
    const std::string script = dir + "Demo/maskin" + m + ".cnc";
    std::ofstream(script, std::ios::binary | std::ios::trunc)
        << DemoControlScript(l.machine, dir, kRounds);
    ::unlink(link.c_str());
    std::vector<std::string> argv{cncsim, "--control", l.control, "--link",
                                  link,   "--script",  script};
    if (l.paced) argv.insert(argv.end(), {"--baud", "9600"});
    if (Spawn(argv, dir + "Demo/maskin" + m + ".log")) ++started;
  }
  // The station opens the lines at once; their links must be there first.
  auto allThere = [&] {
    for (const DemoLine& l : kLines)
      if (!LinkExists(LinkOf(dir, l.machine))) return false;
    return true;
  };
  for (int i = 0; i < 100 && !allThere(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return started;
}

}  // namespace zova::app
