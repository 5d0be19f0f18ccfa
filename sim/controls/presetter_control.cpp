#include "controls/presetter_control.h"

#include "core/visual.h"

namespace zova::sim {

std::string PresetterControl::MeasurementLine(const std::string& make, const std::string& tool,
                                              const std::string& system, const std::string& x,
                                              const std::string& z, bool diameter) {
  if (make == "microset")
    return "T:" + tool + " SY:" + system + (diameter ? " X(D):" : " X(R):") + x + " Z(L):" + z;
  if (make == "komeg")
    return "T.#" + tool + " Adapter-Nummer " + system + (diameter ? " DX " : " RX ") + x + " Z " +
           z;
  if (make == "zoller")
    return "T" + tool + " M" + system + " X=" + x + " Z=" + z + (diameter ? " D" : "");
  if (make == "bodmer")
    return "T:" + tool + " PR:" + system + (diameter ? " X/D:" : " X/R:") + x + " Z/L:" + z;
  if (make == "kelch")
    return "T" + tool + " G" + system + " X=" + x + " Z=" + z + (diameter ? "" : " RAD");
  if (make == "pwb")
    return "TN:" + tool + " SG:" + system + " X=" + x + " Z=" + z + (diameter ? " D" : "");
  if (make == "toolset")
    return "TOOL:" + tool + " REF" + system + " X=" + x + " Z=" + z + (diameter ? "" : " RAD");
  if (make == "toolmaster250")
    return "TN:" + tool + " SG:" + system + (diameter ? " XD:" : " XR:") + x + " Z:" + z;
  return "";
}

PresetterControl::PresetterControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand({"preset-tool",
              {1, {"--tool", "--system", "--x", "--z"}, {"--diameter"}},
              true,
              Bind(&PresetterControl::Tool)});
  AddCommand({"preset-line", {1, {}, {}}, true, Bind(&PresetterControl::Line)});
}

bool PresetterControl::Tool(const SimCommand& cmd, std::string& error) {
  const std::string line =
      MeasurementLine(cmd.args[0], cmd.Opt("--tool", "1"), cmd.Opt("--system", "1"),
                      cmd.Opt("--x", "0"), cmd.Opt("--z", "0"), cmd.Has("--diameter"));
  if (line.empty()) {
    error = "preset-tool: unknown presetter " + cmd.args[0];
    return false;
  }
  if (WriteBytes(line + "\r\n")) return true;
  error = "preset-tool: the line was dropped";
  return false;
}

bool PresetterControl::Line(const SimCommand& cmd, std::string& error) {
  VisualDecoded d = DecodeVisual(cmd.args[0]);
  if (d.error) {
    error = "preset-line: bad bracket notation";
    return false;
  }
  if (WriteBytes(d.bytes + "\r\n")) return true;
  error = "preset-line: the line was dropped";
  return false;
}

}  // namespace zova::sim
