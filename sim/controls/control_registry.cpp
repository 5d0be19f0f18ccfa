#include "controls/control_registry.h"

#include "controls/box_control.h"
#include "controls/btr_control.h"
#include "controls/cell_control.h"
#include "controls/dc2_control.h"
#include "controls/display_control.h"
#include "controls/echo_control.h"
#include "controls/fapt_control.h"
#include "controls/heidenhain_control.h"
#include "controls/hybrid_control.h"
#include "controls/lsv2_control.h"
#include "controls/mazatrol_control.h"
#include "controls/num_control.h"
#include "controls/okuma_control.h"
#include "controls/presetter_control.h"
#include "controls/raskin_control.h"
#include "controls/siemens_control.h"
#include "controls/standard_control.h"
#include "controls/terminal_control.h"
#include "controls/uart_control.h"

namespace zova::sim {

namespace {

using Factory = std::unique_ptr<SimControl> (*)(SimLine&, const SimOptions&);

template <class Control>
std::unique_ptr<SimControl> Make(SimLine& line, const SimOptions& options) {
  return std::make_unique<Control>(line, options);
}

struct Entry {
  std::string_view name;
  Factory make;
};

constexpr Entry kControls[] = {
    {"standard", &Make<StandardControl>},
    {"echo", &Make<EchoControl>},
    {"raskin", &Make<RaskinControl>},
    {"btr", &Make<BtrControl>},
    {"dc2", &Make<Dc2Control>},
    {"okuma", &Make<OkumaControl>},
    {"lsv2", &Make<Lsv2Control>},
    {"siemens", &Make<SiemensControl>},
    {"hybrid", &Make<HybridControl>},
    {"fapt", &Make<FaptControl>},
    {"display", &Make<DisplayControl>},
    {"heidenhain", &Make<HeidenhainControl>},
    {"terminal", &Make<TerminalControl>},
    {"uart", &Make<UartControl>},
    {"mazatrol", &Make<MazatrolControl>},
    {"num", &Make<NumControl>},
    {"box", &Make<BoxControl>},
    {"cell", &Make<CellControl>},
    {"presetter", &Make<PresetterControl>},
};

}  // namespace

std::unique_ptr<SimControl> MakeControl(std::string_view name, SimLine& line,
                                        const SimOptions& options) {
  for (const Entry& e : kControls)
    if (e.name == name) return e.make(line, options);
  return nullptr;
}

std::string KnownControlNames() {
  std::string names;
  for (const Entry& e : kControls) {
    if (!names.empty()) names += ", ";
    names += e.name;
  }
  return names;
}

}  // namespace zova::sim
