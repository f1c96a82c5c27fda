// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/RunContext.h"

#include <cstdlib>

namespace orb {

TRunContext::TRunContext(const TSettings& s)
    : StartJulDat(s.Startdat), EndJulDat(s.Startdat + s.DeltaTab), Zeitzone(s.Zeitzone) {}

void TRunContext::RequestStop() {
  // Marked first: a Begin that runs meanwhile either sees the mark or has
  // stored its state, which the exchange below then turns negative.
  stopBeforeBegin_ = true;
  int32_t state = RunState.load();
  while (!RunState.compare_exchange_weak(state, -std::abs(state))) {
  }
  YearBookRun = false;
}

void TRunContext::End() {
  ended_ = true;
  RunState = 0;
  YearBookRun = false;
}

void TRunContext::Begin(int32_t state) {
  RunState = state;
  if (stopBeforeBegin_.exchange(false)) RunState = -std::abs(state);
  if (ended_) RunState = 0;
}

bool PumpAndAskStop(TRunContext& run, Host& host, int32_t state) {
  host.ProcessMessages();
  if (run.RunState < 0 &&
      host.MessageBox(MsgKind::Confirmation, "Abbruch", "Berechnung abbrechen?", MsgResult::No) == MsgResult::No) {
    run.RunState = state;
  }
  return run.RunState > 0;
}

}  // namespace orb
