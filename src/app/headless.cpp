#include "app/headless.h"

#include <cstdio>
#include <mutex>

#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/station.h"
#include "core/station_log.h"
#include "core/stop_signals.h"
#include "statuslog/mqtt/state_publisher.h"
#include "web/web_interface.h"

namespace zova::app {

namespace {

void PrintLine(const std::string& latin1) {
  static std::mutex mutex;
  std::string line = Latin1ToUtf8(latin1) + "\n";
  std::lock_guard lock(mutex);
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
}

std::string Quoted(std::string_view s) {
  return "\"" + std::string(s) + "\"";
}

}  // namespace

void HeadlessUiHost::ShowNotice(std::string_view caption, std::string_view text) {
  LogNotice(caption, text);
}

bool HeadlessUiHost::AskYesNo(std::string_view caption, std::string_view text, bool safeDefault) {
  LogQuestion(caption, text, safeDefault ? "Ja" : "Nei");
  return safeDefault;
}

Answer HeadlessUiHost::AskButtons(std::string_view caption, std::string_view text,
                                  const std::vector<std::string>&, Answer safeDefault) {
  LogQuestion(caption, text, "");
  return safeDefault;
}

bool HeadlessUiHost::AskText(std::string_view, std::string_view, std::string&) {
  return false;
}

FileChoice HeadlessUiHost::ChooseFile(std::string_view, std::string_view, std::string_view) {
  return {};
}

FileChoice HeadlessUiHost::SelectFolder(std::string_view, std::string_view) {
  return {};
}

bool HeadlessUiHost::OpenPath(std::string_view program, std::string_view args, std::string_view) {
  LogStation(L1("åpner ikke ") + Quoted(program) + " " + std::string(args) + " uten skjerm");
  return false;
}

void HeadlessUiHost::ShowHelp(std::string_view topic) {
  LogStation("hjelp " + Quoted(topic) + " finnes i Hjelp-katalogen");
}

int RunHeadless(SingleInstance* instance) {
  HeadlessUiHost host;
  SetUiHost(&host);
  QueueCallOver callOver;
  MainThread::Install(&callOver);

  int exitCode = 0;
  {
    Station station;
    // No window is ever the foreground application: the console is not fed
    // (its text would go nowhere), and the Tegn column is set at the end of
    // each transfer, as for a station in the background.
    station.Links().appActive->store(false);
    StationModel& model = station.Model();
    model.onCellChanged = [&](int col, int row) {
      PrintLine(std::to_string(row) + " " + ColumnHeading(col) + ": " + model.Cell(col, row));
    };
    model.onActiveLabelChanged = [&] { PrintLine("Aktiv: " + model.ActiveLabel()); };
    model.onDisplayChanged = [&] {
      if (model.DisplayWindow().visible) PrintLine("Visning: " + model.DisplayWindow().text);
    };
    bool allEnded = false;
    station.onAllEnded = [&] { allEnded = true; };
    if (instance)
      instance->Listen([&callOver](SingleInstance::Answer answer) {
        // Answered from the main loop: a start that gets no answer has met
        // a station that no longer serves its machines' calls.
        callOver.Post([answer] {
          LogStation("en ny start ba stasjonen komme frem");
          answer();
        });
      });
    // Before the machines start and ended after them: their first and last
    // records are published too.
    auto states = mqtt::StatePublisher::Start(model, mqtt::ReadMqttSettings());
    station.Start();
    auto web = web::WebInterface::Start(station, web::ReadWebSettings());
    bool stopRequested = false;
    while (!allEnded && !stopRequested) {
      callOver.WaitAndServe(100);
      station.Tick();
      stopRequested = StopSignals::Take();
    }
    LogStation(stopRequested ? "stopper alle maskiner"
                             : "alle maskiner er stoppet; stasjonen avsluttes");
    web.reset();
    station.Close();
    states.reset();
  }
  // Nothing may be posted to the call-over once it is gone.
  if (instance) instance->StopListening();
  MainThread::Install(nullptr);
  SetUiHost(nullptr);
  return exitCode;
}

}  // namespace zova::app
