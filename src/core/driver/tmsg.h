#pragma once
// The base of every machine driver: its thread, its terminate flag and end
// handler, and every operation through which it shows its state. Window
// operations run on the main thread through the call-over while the driver
// waits; console text is batched here so byte-by-byte protocols do not make a
// call per byte.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "core/model/machine_request.h"
#include "core/model/station_model.h"

namespace zova {

// What the window hands to every driver constructor.
struct UiLinks {
  StationModel* model = nullptr;
  // Called with the machine number before a driver reads the file name cell.
  std::function<void(int)> formEvent;
  // The station-wide send order to a machine (main thread): false when that
  // machine has no running driver to take it. Without it the order is only
  // recorded (drivers tested on their own).
  std::function<bool(int)> sendToMachine;
  // True while the station is the active application (console output is
  // skipped otherwise unless Demo). Written by the front end.
  std::shared_ptr<std::atomic<bool>> appActive = std::make_shared<std::atomic<bool>>(true);
};

class TMsg {
 public:
  TMsg(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);
  virtual ~TMsg();
  TMsg(const TMsg&) = delete;
  TMsg& operator=(const TMsg&) = delete;

  // Thread control (main thread).
  void Start();
  // Any thread; a driver waiting on its line is woken to see it.
  void Terminate() {
    terminated_.store(true);
    WakeForOrder();
  }
  // Any thread: wakes the driver from a wait on its line, so that it takes an
  // order from its request record now rather than at the end of the wait.
  void WakeForOrder();
  // The eventfd that WakeForOrder makes readable; the line's device polls
  // it. Open as long as the driver object lives.
  int OrderWakeFd() const { return wakeFd_; }
  bool Terminated() const { return terminated_.load(std::memory_order_relaxed); }
  const std::atomic<bool>* TerminateFlag() const { return &terminated_; }
  void SetOnTerminate(std::function<void(TMsg*)> handler) { onTerminate_ = std::move(handler); }
  // Best effort: 0 idle .. 3 normal .. 6 time-critical.
  void SetPriority(int priority) { priority_ = priority; }
  bool Finished() const { return finished_.load(); }
  void Join();

  int MachineNo() const { return machineNo_; }

  // Grid.
  void SetCell(int col, const std::string& text);
  void SetCellWait(int col, const std::string& text);
  void SetCellAt(int row, int col, const std::string& text);
  // On the main thread from a constructor: column 1 only when empty.
  void SetCellDirect(int col, const std::string& text);
  void SetCellObject(int col, int code);
  std::string GetCell(int col);  // upper-cased
  std::string GetCellAt(int row, int col);

  // Console.
  // Inline up to the console test: a line layer calls it for every byte, and
  // mostly nothing is shown.
  void ConsoleWrite(bool alt, bool received, int charCount, std::string_view text) {
    CharCount = charCount;
    if (ConsoleOutputOn()) QueueConsoleText(alt, received, text);
  }
  void FlushConsole();
  void ConsoleNewLine();
  void SetCharCount(bool add, int n);
  void ConsoleBeginTransfer();
  void ConsoleEndTransfer();

  // Alarm box (with KvitterAlarm) or the display window.
  void ShowDisplay(bool alarm, const std::string& text);
  void ShowDisplayText(bool alarm, const std::string& text);

  // Orders and results.
  void SyncFetchRequest();
  void SyncStoreResult();
  void PutSharedText(const std::string& text);
  bool OfferSharedText(std::string& text);
  void PostMachineText(const std::string& a, const std::string& b);
  void CallFormEvent();
  // Orders Target's driver to send what its Filnavn cell names, at its next
  // request fetch; one such order is pending station-wide, a later one
  // replaces it. False when Target has no running driver.
  bool OrderSendToMachine(int target);

  MachineRequest Request;  // the driver's private copy

 protected:
  // The driver's main loop.
  virtual void Execute() = 0;
  // Reports an exception that escaped Execute (Melding and log).
  virtual void ReportCrash(const std::string& what);

  bool ConsoleOutputOn() const { return Vis && (Demo || links_.appActive->load()); }
  StationModel& Model() const { return *links_.model; }

  bool Vis = true;
  bool Demo = false;
  bool KvitterAlarm = false;
  bool LogLineBreaks = true;
  int CharCount = 0;

 private:
  void Run();
  void QueueConsoleText(bool alt, bool received, std::string_view text);
  // Always: a flush the driver asked for (the end of a transfer, a pause),
  // which must leave the Tegn count right.
  void FlushConsoleText(bool always);
  static constexpr int64_t kCountCallMs = 500;
  void ShowDisplayOnMain(bool alarm, const std::string& text, bool wait);

  UiLinks links_;
  MachineRequest& shared_;
  int machineNo_;
  std::atomic<bool> terminated_{false};
  int wakeFd_ = -1;
  std::atomic<bool> finished_{false};
  std::function<void(TMsg*)> onTerminate_;
  int priority_ = -1;
  std::thread thread_;

  std::string pendingText_;
  int64_t lastCountCall_ = INT64_MIN / 2;
  bool pendingHasLineEnd_ = false;
  bool pendingAlt_ = false, pendingReceived_ = false;
};

}  // namespace zova
