#include "serial/variants/siemens_send_rules.h"

namespace zova {

SiemensCharStep NextSiemensChar(SiemensSendState& state, char ch, int64_t charCount,
                                bool blokkvis) {
  const char prev = state.previous;
  if (prev == '%' && ch == 'C')
    state.inCycle = true;
  else if (state.inCycle && prev == 'M' && ch == '3')
    state.inCycle = false;
  if (prev == '%' && ch != 'S' && !state.inCycle && !blokkvis) state.retriesOff = true;

  SiemensCharStep step;
  // The first "%" of a send has nothing before it to wait for.
  step.pauseBefore = (ch == '%' && charCount > 5) || (state.pausePending && prev == '\n');
  if (step.pauseBefore) state.pausePending = false;
  if (ch == '%' || state.inCycle) state.pausePending = true;
  step.noRetry = state.retriesOff;
  state.previous = ch;
  return step;
}

}  // namespace zova
