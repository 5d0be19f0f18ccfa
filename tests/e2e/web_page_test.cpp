// The station's web page in a real browser: headless Chromium, driven over
// its DevTools protocol on a pipe, against the headless station and a
// simulated control. What is checked is what the operator sees on the page
// and what reaches the control.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <thread>

#include "e2e/support/station_fixture.h"
#include "serial/ser2net_server.h"

namespace zova::test {
namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// ZOVA_CHROMIUM, else chromium or chromium-browser on the PATH.
std::string FindChromium() {
  if (const char* e = std::getenv("ZOVA_CHROMIUM"); e && *e) return e;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    for (const char* name : {"chromium", "chromium-browser"}) {
      const std::string exe = (dir.empty() ? "." : dir) + "/" + name;
      if (access(exe.c_str(), X_OK) == 0) return exe;
    }
    start = end + 1;
  }
  return {};
}

const char* const kNoChromium =
    "this test needs Chromium and found none: install the Debian package chromium "
    "(scripts/install-deps) or set ZOVA_CHROMIUM to the browser's program";

// Chromium with its DevTools protocol on a pipe (--remote-debugging-pipe):
// it reads commands from its descriptor 3 and writes answers and events to
// its descriptor 4, each a JSON text ended by a NUL. Both are one end of a
// socket pair here, so a browser that died gives an error, not a SIGPIPE.
class Browser {
 public:
  Browser(const std::string& exe, const std::string& profileDir, const std::string& logPath) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
      error_ = "socketpair failed";
      return;
    }
    std::vector<std::string> argv{exe,
                                  "--headless",
                                  "--no-sandbox",
                                  "--disable-gpu",
                                  "--disable-quic",
                                  "--no-first-run",
                                  "--disable-background-networking",
                                  "--disable-component-update",
                                  "--disable-sync",
                                  "--disable-dev-shm-usage",
                                  "--user-data-dir=" + profileDir,
                                  "--remote-debugging-pipe",
                                  "about:blank"};
    pid_ = fork();
    if (pid_ == 0) {
      // Its own group, so the renderers it starts go with it.
      setpgid(0, 0);
      int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
      dup2(null, 0);
      dup2(log, 1);
      dup2(log, 2);
      dup2(fds[1], 3);
      dup2(fds[1], 4);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(fds[1]);
    fd_ = fds[0];
    if (pid_ < 0) error_ = "fork failed";
  }

  ~Browser() {
    if (pid_ > 0) {
      Command("Browser.close", json::object(), "", 3000);
      const auto end = Clock::now() + std::chrono::seconds(5);
      int status = 0;
      bool ended = false;
      while (!(ended = waitpid(pid_, &status, WNOHANG) == pid_) && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      // Whatever of its group is left, and the browser itself if it hung.
      kill(-pid_, SIGKILL);
      if (!ended) waitpid(pid_, &status, 0);
    }
    if (fd_ >= 0) close(fd_);
  }

  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;

  const std::string& Error() const { return error_; }

  // Sends a command (to a page when Session is given) and waits for its
  // answer; the result, or null with Error() saying why.
  json Command(const std::string& method, const json& params, const std::string& session = "",
               int timeoutMs = 10000) {
    const int id = nextId_++;
    json msg{{"id", id}, {"method", method}, {"params", params}};
    if (!session.empty()) msg["sessionId"] = session;
    std::string text = msg.dump();
    text.push_back('\0');
    for (size_t done = 0; done < text.size();) {
      ssize_t n = send(fd_, text.data() + done, text.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return Fail(method + ": the browser is gone");
      done += static_cast<size_t>(n);
    }
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      json answer;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0 || !ReadMessage(static_cast<int>(left), answer))
        return Fail(method + ": no answer from the browser");
      if (answer.value("id", 0) != id) continue;  // an event, or an earlier answer
      if (answer.contains("error")) return Fail(method + ": " + answer["error"].dump());
      return answer["result"];
    }
  }

 private:
  json Fail(const std::string& why) {
    error_ = why;
    return nullptr;
  }

  bool ReadMessage(int timeoutMs, json& msg) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (size_t nul = pending_.find('\0'); nul != std::string::npos) {
        msg = json::parse(pending_.substr(0, nul), nullptr, false);
        pending_.erase(0, nul + 1);
        return !msg.is_discarded();
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
      char buf[65536];
      ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) return false;
      pending_.append(buf, static_cast<size_t>(n));
    }
  }

  pid_t pid_ = -1;
  int fd_ = -1;
  int nextId_ = 1;
  std::string pending_;
  std::string error_;
};

// One tab of the browser, attached to by its own session.
class Page {
 public:
  Page(Browser& browser, const std::string& url) : browser_(browser) {
    json target = browser_.Command("Target.createTarget", {{"url", url}});
    if (target.is_null()) return;
    json attached = browser_.Command("Target.attachToTarget",
                                     {{"targetId", target["targetId"]}, {"flatten", true}});
    if (!attached.is_null()) session_ = attached["sessionId"];
  }

  bool Ready() const { return !session_.empty(); }

  // The value of an expression run in the page (promises awaited), where
  // $(id) is the element of that id; null when it threw or the browser did
  // not answer.
  json Eval(const std::string& script) {
    const std::string expression = "(($) => (" + script + "))((id) => document.getElementById(id))";
    json r = browser_.Command(
        "Runtime.evaluate",
        {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}}, session_);
    if (r.is_null() || r.contains("exceptionDetails")) return nullptr;
    return r["result"].value("value", json());
  }

  std::string Text(const std::string& script) {
    json v = Eval(script);
    return v.is_string() ? v.get<std::string>() : std::string();
  }

  // Polls Script until it is true, for at most TimeoutMs.
  bool WaitFor(const std::string& script, int timeoutMs = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (Eval(script) == json(true)) return true;
      if (Clock::now() >= end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // What the page shows, for a failure's message.
  std::string Shown() {
    return Text(
        "document.body.innerText + '\\n[dialog open: ' + $('ask').open + "
        "']'");
  }

  void Click(const std::string& selector) {
    EXPECT_EQ(Eval("(() => { const e = document.querySelector(" + json(selector).dump() +
                   "); if (!e || e.disabled) return false; e.click(); return true; })()"),
              json(true))
        << "no enabled " << selector << "\n"
        << Shown();
  }

 private:
  Browser& browser_;
  std::string session_;
};

// Selectors and scripts about machine 1's row.
std::string Row1(const std::string& inside) {
  return "tr[data-machine=\"1\"] " + inside;
}
std::string Cell1(int col) {
  return "document.querySelector('" + Row1("[data-col=\"" + std::to_string(col) + "\"]") +
         "').textContent";
}
constexpr int kFilnavn = 1, kStatus = 2;

const std::string kAnswer = "%\r\nO1000 (SVAR)\r\nG0 X1\r\nM30\r\n%\r\n";
const std::string kProgram = "%\r\nO1234 (BRAKETT)\r\nG0 X10 Y10\r\nG1 X20 F100\r\nM30\r\n%\r\n";

struct WebPage : StationFixture {
  uint16_t port = FreeLoopbackPort();
  std::string chromium = FindChromium();

  std::string Program(const std::string& extra = "") {
    return "WebPort=" + std::to_string(port) + "\r\n" + extra;
  }

  // The station listens once its machines have started.
  bool Listening(int timeoutMs = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!LoopbackListening(port)) {
      if (Clock::now() >= end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }

  // Picks File in the page's file choice of machine 1 and waits for the
  // station's answer.
  void ChooseFile(Page& page, const std::string& file) {
    page.Click(Row1("button[data-order=\"file\"]"));
    ASSERT_TRUE(
        page.WaitFor("$('ask').open && "
                     "[...$('ask-choices').options].some(o => o.value === " +
                     json(file).dump() + ")"))
        << page.Shown();
    EXPECT_EQ(page.Text("$('ask-title').textContent"), "Velg fil");
    page.Eval("$('ask-choices').value = " + json(file).dump());
    page.Click("#ask-ok");
    EXPECT_TRUE(page.WaitFor("$('answer').textContent === 'FRES 1: Valgt: " + file + "'"))
        << page.Shown();
  }
};

TEST_F(WebPage, ShowsTransfersLiveAndSendsTheChosenFileToTheControl) {
  ASSERT_NE(chromium, "") << kNoChromium;
  std::string ini = WriteIni(1, "", "", Program());
  WriteFile(MachineDir(1) + "O1000.NC", kAnswer);
  WriteFile(dir / "p.nc", kProgram);
  // The control takes what the operator sends from the page and then punches
  // a program of its own: both happen after the page has loaded, so the page
  // can only learn of them from the live stream.
  auto control =
      Control(1, {"wait-open", "capture " + (dir / "got.nc") + " --first 25000 --quiet 800",
                  "wait 300", "send " + (dir / "p.nc"), "wait 1000"});
  auto station = Station(ini);
  ASSERT_TRUE(Listening()) << station->Stderr();

  Browser browser(chromium, dir / "profile", dir / "chromium.log");
  Page page(browser, Url());
  ASSERT_TRUE(page.Ready()) << browser.Error() << "\n" << ReadFile(dir / "chromium.log");
  ASSERT_TRUE(page.WaitFor("$('connection').dataset.state === 'live'", 15000))
      << page.Shown() << "\n"
      << browser.Error();
  EXPECT_EQ(page.Text("[...document.querySelectorAll('#grid thead th')].map(h => "
                      "h.textContent).join('|')"),
            "Maskin|Filnavn|Status|Melding|Tegn|Ordre");
  EXPECT_EQ(page.Text(Cell1(0)), "FRES 1");
  EXPECT_EQ(page.Eval("/^state-(green|yellow|red|none)$/.test("
                      "document.querySelector('tr[data-machine=\"1\"]').className)"),
            json(true))
      << "the row has the colour of its line state";
  EXPECT_EQ(page.Eval("$('console').textContent.split('\\n').length"), json(16));
  // Every text the Status cell shows from now on, however briefly; and a
  // mark that a reload would lose.
  page.Eval("(() => { const cell = document.querySelector('" + Row1("[data-col=\"2\"]") +
            "'); window.statuses = []; new MutationObserver(() => "
            "statuses.push(cell.textContent)).observe(cell, {childList: true, "
            "characterData: true, subtree: true}); window.loadedOnce = true; })()");

  ChooseFile(page, "O1000.NC");
  EXPECT_TRUE(page.WaitFor(Cell1(kFilnavn) + " === 'O1000.NC'")) << page.Shown();

  page.Click(Row1("button[data-order=\"send\"]"));
  ASSERT_TRUE(page.WaitFor("$('ask').open")) << page.Shown();
  EXPECT_EQ(page.Text("$('ask-title').textContent"), "Sende fil til FRES 1");
  EXPECT_EQ(page.Text("$('ask-text').textContent"), "Filen O1000.NC vil bli sendt");
  page.Click("#ask-ok");
  EXPECT_TRUE(page.WaitFor("$('answer').textContent === 'FRES 1: Sending bestilt: O1000.NC'"))
      << page.Shown();
  EXPECT_TRUE(page.WaitFor("statuses.includes('Fil sendt')", 15000)) << page.Shown();

  EXPECT_TRUE(page.WaitFor(
      Cell1(kStatus) + " === 'Data lagret' && " + Cell1(kFilnavn) + " === 'BRAKETT.NC'", 15000))
      << page.Shown();
  EXPECT_EQ(page.Eval("window.loadedOnce === true"), json(true));

  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  const std::string got = ReadFile(dir / "got.nc");
  EXPECT_EQ(got.substr(0, kAnswer.size()), kAnswer);
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), kProgram);
  Stop(*station);
}

TEST_F(WebPage, WithATokenThePageAsksForItOnceAndFollowsTheGridWithIt) {
  ASSERT_NE(chromium, "") << kNoChromium;
  std::string ini = WriteIni(1, "", "", Program("WebToken=hemmelig\r\n"));
  WriteFile(MachineDir(1) + "O1000.NC", kAnswer);
  auto control = Control(1, {"wait-open", "wait 20000"});
  auto station = Station(ini);
  ASSERT_TRUE(Listening()) << station->Stderr();

  Browser browser(chromium, dir / "profile", dir / "chromium.log");
  Page page(browser, Url());
  ASSERT_TRUE(page.Ready()) << browser.Error() << "\n" << ReadFile(dir / "chromium.log");
  // A browser sends no header when it loads a page, so the page's own files
  // must come without the token.
  ASSERT_TRUE(page.WaitFor("document.readyState === 'complete' && !!$('grid')"))
      << "the station refused the page itself without the token:\n"
      << page.Text("document.body.innerText");
  ASSERT_TRUE(
      page.WaitFor("$('ask').open && "
                   "$('ask-title').textContent === 'WebToken'",
                   15000))
      << page.Shown();
  EXPECT_EQ(page.Eval("document.querySelectorAll('#grid tbody tr').length"), json(0))
      << "nothing is shown without the token";
  page.Eval("$('ask-input').value = 'hemmelig'");
  page.Click("#ask-ok");
  ASSERT_TRUE(page.WaitFor("$('connection').dataset.state === 'polling'")) << page.Shown();
  EXPECT_EQ(page.Text(Cell1(0)), "FRES 1");

  // The orders carry the token too, and the change comes back by polling.
  ChooseFile(page, "O1000.NC");
  EXPECT_TRUE(page.WaitFor(Cell1(kFilnavn) + " === 'O1000.NC'")) << page.Shown();
  EXPECT_EQ(page.Eval("$('ask').open"), json(false)) << "the token is asked for once";
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
