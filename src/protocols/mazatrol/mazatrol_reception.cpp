#include "protocols/mazatrol/mazatrol_reception.h"

namespace zova::mazatrol {

bool IsNameNumber(const ReceptionFacts& facts) {
  return facts.henteProgramNr != 0 && facts.number && *facts.number == facts.henteProgramNr;
}

Outcome OutcomeOf(const ReceptionFacts& facts) {
  if (!facts.storeOk) return Outcome::StoreFailed;
  if (!facts.complete) return Outcome::Broken;
  if (facts.lines >= facts.lagreLinjer && !IsNameNumber(facts)) return Outcome::Program;
  return Outcome::NameMessage;
}

std::string ReceptionName(std::string_view start, std::string_view numberName,
                          std::string_view titleName, bool mazatrolNavn, bool nameNumber) {
  if (!titleName.empty() && (!mazatrolNavn || nameNumber)) return std::string(titleName);
  if (!numberName.empty()) return std::string(numberName);
  return std::string(start);
}

}  // namespace zova::mazatrol
