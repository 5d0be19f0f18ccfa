// The entry of the window module. The module carries its own copy of the
// station's libraries, so everything the window needs is set up here and
// nothing of the loading program's state is shared.

#include "app/register_drivers.h"
#include "app/test_clock.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/single_instance.h"
#include "core/startup.h"
#include "core/station_log.h"
#include "statuslog/mqtt/state_publisher.h"
#include "ui/run_window.h"
#include "web/web_interface.h"

extern "C" __attribute__((visibility("default"))) int zova_window_main(int argc, char** argv,
                                                                       const char* iniArg) {
  zova::app::RegisterStationDrivers();
  zova::app::InstallTestClock();
  zova::LoadProgramSettings(iniArg ? iniArg : "", zova::ProgramDir());
  zova::SingleInstance instance;
  if (!instance.Acquire()) {
    // Unanswered, the running station no longer serves its machines' calls.
    zova::LogStation(instance.Answered() ? zova::LogLevel::Info : zova::LogLevel::Warning,
                     instance.SecondStartText());
    return 0;
  }
  zova::LogStation("bruker " + zova::Globals().IniFil);
  return zova::ui::RunWindow(
      argc, argv, instance,
      [](zova::Station& station) {
        return std::shared_ptr<void>(
            zova::web::WebInterface::Start(station, zova::web::ReadWebSettings()).release(),
            [](void* web) { delete static_cast<zova::web::WebInterface*>(web); });
      },
      [](zova::Station& station) {
        return std::shared_ptr<void>(
            zova::mqtt::StatePublisher::Start(station.Model(), zova::mqtt::ReadMqttSettings())
                .release(),
            [](void* states) { delete static_cast<zova::mqtt::StatePublisher*>(states); });
      });
}
