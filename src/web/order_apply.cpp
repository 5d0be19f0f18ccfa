#include "web/order_apply.h"

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "core/operator_orders.h"
#include "core/paths.h"
#include "files/storage/name_guard.h"

namespace zova::web {

namespace {

OrderOutcome Refused(int status, std::string text) {
  return {status, std::move(text)};
}

// Sets the Filnavn cell as the window's file choice does: the name as given
// when it lies in the program directory, the full path otherwise.
OrderOutcome Choose(StationModel& model, int machine, const std::string& name) {
  const std::string path = GuardedMachinePath(machine, name);
  if (path.empty()) return Refused(403, "Filen ligger utenfor maskinens kataloger: " + name);
  if (!FileExists(path)) return Refused(404, "Filen finnes ikke: " + name);
  model.SetCell(kColFilnavn, machine, IsAbsolutePath(name) ? UpperCase(path) : UpperCase(name));
  return {200, "Valgt: " + name};
}

OrderOutcome Switch(Station& station, int machine, bool on) {
  const std::string port = ReadIniUpper(MachineSection(machine), "Port", "");
  if (port.empty()) return Refused(409, "Maskinen har ingen port");
  if (!WriteIniBool(port, "Blokkvis", on)) return Refused(500, L1("Klarer ikke å skrive Zova.ini"));
  station.Machines().RestartMachine(machine, false);
  return {200, std::string("Blokkvis ") + (on ? L1("på") : "av") + " for " + port};
}

}  // namespace

std::string GuardedMachinePath(int machine, const std::string& name) {
  if (name.empty()) return {};
  const std::string dir = MachineDataDir(machine);
  const std::string full = IsAbsolutePath(name) ? name : JoinPath(dir, name);
  const std::string katalog2 =
      WithTrailingSep(ReadIniUpper(MachineSection(machine), "Katalog2", dir));
  const auto roots = MachineRoots(dir, katalog2, ReadIniBool("Program", "FellesKataloger", false));
  return InsideRoots(full, roots) ? full : std::string();
}

std::vector<std::string> MachineFiles(int machine) {
  return ListFiles(MachineDataDir(machine), "*");
}

OrderOutcome CarryOut(Station& station, const OrderRequest& o) {
  StationModel& model = station.Model();
  MachineSet& machines = station.Machines();
  if (o.kind == OrderKind::Logging) {
    if (!WriteIniBool("Program", "Logging", o.on))
      return Refused(500, L1("Klarer ikke å skrive Zova.ini"));
    return {200, std::string("Logging ") + (o.on ? L1("på") : "av")};
  }
  const int n = o.machine;
  if (n < 1 || n > model.MachineCount()) return Refused(404, "Ukjent maskin: " + std::to_string(n));
  switch (o.kind) {
    case OrderKind::Choose:
      return Choose(model, n, o.text);
    case OrderKind::Send: {
      if (!machines.HasDriver(n)) return Refused(409, "Maskinen er ikke aktiv");
      if (machines.IsCommand(n)) return Refused(409, "Maskinen tar kommandoer, ikke filer");
      if (!o.text.empty()) {
        OrderOutcome chosen = Choose(model, n, o.text);
        if (chosen.status != 200) return chosen;
      }
      if (model.Cell(kColFilnavn, n).empty()) return Refused(409, "Ingen fil er valgt");
      OrderSend(station, n);
      return {200, "Sending bestilt: " + model.Cell(kColFilnavn, n)};
    }
    case OrderKind::Fetch:
      if (!machines.HasDriver(n)) return Refused(409, "Maskinen er ikke aktiv");
      if (!machines.IsTwoWay(n)) return Refused(409, "Maskinen kan ikke hente");
      if (GuardedMachinePath(n, o.text).empty())
        return Refused(403, "Navnet ligger utenfor maskinens kataloger: " + o.text);
      model.SetCell(kColFilnavn, n, UpperCase(o.text));
      OrderFetch(station, n);
      return {200, "Henting bestilt: " + UpperCase(o.text)};
    case OrderKind::Command:
      if (!machines.HasDriver(n)) return Refused(409, "Maskinen er ikke aktiv");
      if (!machines.IsCommand(n)) return Refused(409, "Maskinen tar ikke kommandoer");
      model.SetCell(kColFilnavn, n, o.text);
      OrderSend(station, n);
      return {200, "Kommando bestilt: " + o.text};
    case OrderKind::Cancel:
      OrderCancel(station, n);
      return {200, "Avbrutt"};
    case OrderKind::Restart:
      if (machines.Stopping()) return Refused(409, "Stasjonen stopper");
      machines.RestartMachine(n, false);
      return {200, L1("Maskinen er startet på nytt")};
    case OrderKind::Blokkvis:
      return Switch(station, n, o.on);
    case OrderKind::Logging:
      break;
  }
  return Refused(400, "Ukjent ordre");
}

}  // namespace zova::web
