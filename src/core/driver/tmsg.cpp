#include "core/driver/tmsg.h"

#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "core/clock.h"
#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/uihost.h"

namespace zova {

namespace {

void ApplyPriority(int priority) {
  static const int kNice[7] = {19, 10, 5, 0, -5, -10, -15};
  if (priority < 0 || priority > 6) return;
  auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  if (::setpriority(PRIO_PROCESS, tid, kNice[priority]) != 0) {
    static std::atomic<bool> logged{false};
    if (!logged.exchange(true))
      std::fprintf(stderr, "zova: thread priority %d refused by the system\n", priority);
  }
}

}  // namespace

TMsg::TMsg(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : links_(links), shared_(sharedRequest), machineNo_(machineNo) {
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  std::string section = MachineSection(machineNo);
  Vis = ReadIniBool(section, "Vis", true);
  if (IniKeyExists("Program", "Vis")) Vis = ReadIniBool("Program", "Vis", true);
  Demo = ReadIniBool("Program", "Demo", false);
  KvitterAlarm = ReadIniBool(section, "KvitterAlarm", false);
  Request = shared_;
}

TMsg::~TMsg() {
  Join();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void TMsg::WakeForOrder() {
  if (wakeFd_ < 0) return;
  const uint64_t one = 1;
  // A full counter already wakes the driver; nothing else can go wrong here.
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void TMsg::Start() {
  thread_ = std::thread([this] { Run(); });
}

void TMsg::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TMsg::Run() {
  ApplyPriority(priority_);
  try {
    Execute();
  } catch (const std::exception& e) {
    ReportCrash(e.what());
  } catch (...) {
    ReportCrash("ukjent feil");
  }
  // The end handler runs on the main thread; after it the thread only returns.
  MainThread::invoke([this] {
    finished_.store(true);
    if (onTerminate_) onTerminate_(this);
  });
}

void TMsg::ReportCrash(const std::string& what) {
  SetCell(kColMelding, "Programfeil: " + what);
  std::fprintf(stderr, "zova: machine %d: %s\n", machineNo_, what.c_str());
}

void TMsg::SetCell(int col, const std::string& text) {
  MainThread::invoke([&] { Model().SetCell(col, machineNo_, text); });
}

void TMsg::SetCellWait(int col, const std::string& text) {
  SetCell(col, text);
  TheClock().Sleep(250, &terminated_);
}

void TMsg::SetCellAt(int row, int col, const std::string& text) {
  MainThread::invoke([&] { Model().SetCell(col, row, text); });
}

void TMsg::SetCellDirect(int col, const std::string& text) {
  if (col == kColFilnavn && !Model().Cell(col, machineNo_).empty()) return;
  Model().SetCell(col, machineNo_, text);
}

void TMsg::SetCellObject(int col, int code) {
  MainThread::invoke([&] { Model().SetCellObject(col, machineNo_, code); });
}

std::string TMsg::GetCell(int col) {
  return GetCellAt(machineNo_, col);
}

std::string TMsg::GetCellAt(int row, int col) {
  std::string text;
  MainThread::invoke([&] { text = Model().Cell(col, row); });
  return UpperCase(text);
}

void TMsg::QueueConsoleText(bool alt, bool received, std::string_view text) {
  bool lineEnd = text.find_first_of("\r\n") != std::string::npos;
  bool joins = (pendingText_.empty() || (pendingAlt_ == alt && pendingReceived_ == received)) &&
               (!pendingHasLineEnd_ || lineEnd) && pendingText_.size() <= 40;
  if (!joins) FlushConsoleText(false);
  pendingText_ += text;
  pendingHasLineEnd_ = lineEnd;
  pendingAlt_ = alt;
  pendingReceived_ = received;
}

void TMsg::FlushConsole() {
  FlushConsoleText(true);
}

void TMsg::FlushConsoleText(bool always) {
  if (!Vis || pendingText_.empty()) return;
  const int64_t now = TheClock().TickMs();
  if (!always && Model().Console().Holder() != machineNo_) {
    // The console shows only its holder's text, and only this machine can
    // make itself the holder. For the others a call a line is only the Tegn
    // count, which a few times a second shows as well; with a hundred lines
    // busy the calls a line would keep the main thread busy.
    if (now - lastCountCall_ < kCountCallMs) {
      pendingText_.clear();
      return;
    }
  }
  lastCountCall_ = now;
  std::string text = pendingText_.substr(0, 255);
  MainThread::invoke([&] {
    Model().Console().AddText(machineNo_, pendingAlt_, text, pendingReceived_);
    Model().SetCell(kColTegn, machineNo_, std::to_string(CharCount));
  });
  pendingText_.clear();
}

void TMsg::ConsoleNewLine() {
  FlushConsole();
  if (!Vis) return;
  MainThread::invoke([&] { Model().Console().NewLineFor(machineNo_); });
}

void TMsg::SetCharCount(bool add, int n) {
  MainThread::invoke([&] {
    CharCount = add ? n + std::atoi(Model().Cell(kColTegn, machineNo_).c_str()) : n;
    Model().SetCell(kColTegn, machineNo_, std::to_string(CharCount));
  });
}

void TMsg::ConsoleBeginTransfer() {
  if (!Vis) return;
  MainThread::invoke([&] {
    if (Model().Console().Hold(machineNo_, false, true)) {
      Model().SetActiveLabel(Model().Cell(kColMaskin, machineNo_));
      pendingHasLineEnd_ = false;
    }
  });
}

void TMsg::ConsoleEndTransfer() {
  bool on = ConsoleOutputOn();
  MainThread::invoke([&] {
    if (!on) Model().SetCell(kColTegn, machineNo_, std::to_string(CharCount));
    if (!Vis) return;
    bool released = Model().Console().Hold(machineNo_, true, true);
    if (Model().DisplayWindow().visible) Model().SetDisplay("");
    if (released) Model().SetActiveLabel("Siste maskin - " + Model().Cell(kColMaskin, machineNo_));
  });
}

void TMsg::ShowDisplayOnMain(bool alarm, const std::string& text, bool wait) {
  MainThread::invoke([&] {
    if (alarm && KvitterAlarm) {
      if (UiHost* host = CurrentUiHost()) host->ShowNotice("Feil", text);
      return;
    }
    Model().SetDisplay(text);
    if (text.empty()) return;
    // These pauses hold the main thread, as the operator's display expects.
    if (alarm)
      TheClock().Sleep(2500);
    else if (wait)
      TheClock().Sleep(1000);
  });
}

void TMsg::ShowDisplay(bool alarm, const std::string& text) {
  ShowDisplayOnMain(alarm, text, true);
}
void TMsg::ShowDisplayText(bool alarm, const std::string& text) {
  ShowDisplayOnMain(alarm, text, false);
}

void TMsg::SyncFetchRequest() {
  MainThread::invoke([&] { TakeOrders(shared_, Request, machineNo_, Globals().SendToMachine); });
}

void TMsg::SyncStoreResult() {
  MainThread::invoke([&] { HandBackResults(Request, shared_); });
}

void TMsg::PutSharedText(const std::string& text) {
  MainThread::invoke([&] {
    if (shared_.SharedText) *shared_.SharedText = text.substr(0, kSharedTextMax);
  });
}

bool TMsg::OfferSharedText(std::string& text) {
  bool taken = false;
  MainThread::invoke([&] {
    if (shared_.SharedText && shared_.SharedText->empty()) {
      *shared_.SharedText = text.substr(0, kSharedTextMax);
      taken = true;
    }
  });
  if (taken) text.clear();
  return taken;
}

void TMsg::PostMachineText(const std::string& a, const std::string& b) {
  bool hasSlot = false;
  MainThread::invoke([&] { hasSlot = shared_.SharedText != nullptr; });
  if (hasSlot) PutSharedText(GetCell(kColMaskin) + "," + a + "," + b);
}

bool TMsg::OrderSendToMachine(int target) {
  bool taken = false;
  MainThread::invoke([&] {
    if (links_.sendToMachine) {
      taken = links_.sendToMachine(target);
    } else {
      Globals().SendToMachine = static_cast<uint8_t>(target);
      taken = true;
    }
  });
  return taken;
}

void TMsg::CallFormEvent() {
  MainThread::invoke([&] {
    if (links_.formEvent) links_.formEvent(machineNo_);
  });
}

}  // namespace zova
