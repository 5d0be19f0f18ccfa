#include "files/namesearch/find_program_name.h"

#include "files/namesearch/methods.h"

namespace zova {

MethodFn MethodByNumber(int method) {
  static constexpr MethodFn kMethods[kMethodCount] = {
      MethodStandard,    MethodOkuma,           MethodDobbel,        MethodEnkelt,
      MethodNummer,      MethodNummer2,         MethodFanucIJK,      MethodFanucJK,
      MethodUniversal,   MethodUniversal2,      MethodSiemens3,      MethodSiemens8,
      MethodParenteser,  MethodOkumaParen,      MethodPhilips,       MethodFanucKasett,
      MethodXYZ,         MethodSiemensXYZ,      MethodMazatrolLangt, MethodMazatrolKort,
      MethodKommentarer, MethodFaptKommentarer, MethodCincinatti,    MethodSiemensIJK,
      MethodIJK,         MethodNummerSerie,     MethodSiemensN,
  };
  if (method < 0 || method >= kMethodCount) return kMethods[0];
  return kMethods[method];
}

void FindProgramName(const FindInput& in, NameResult& r) {
  r.extended = false;
  r.askName = false;
  if (in.mode == smSave && in.filNavnProgram) {
    r.found = true;
    r.askName = true;
    return;
  }
  MethodContext c{in, std::string(in.headerText), {}, in.mode, in.keys, in.maxLengde, {}};
  c.look.extra = &in.extraChars;
  c.look.checkDigitKey = in.tallSjekk;
  c.look.numericOnly = in.bareTall;
  c.look.maxLen = in.maxLengde;

  const bool ownSecondWindow = in.maxLinjer2 != in.maxLinjer;
  if (ownSecondWindow) {
    c.t2 = c.t;
    CutLines(1, in.maxLinjer2, c.t2);
  }
  CutLines(in.mode == smSave ? in.startLinje : 1, in.maxLinjer, c.t);
  if (!ownSecondWindow) c.t2 = c.t;

  r.name = kNoName;
  r.found = !in.keys.key.empty() && FindKey(in.tallSjekk, in.keys.key, c.t) > 0;
  MethodByNumber(in.method)(c, r);
  if (r.extended) r.extended = r.name != kNoName;
  PadNumber(in.mode, in.tallLengde, r.name);
}

}  // namespace zova
