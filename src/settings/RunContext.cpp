// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/RunContext.h"

#include <cstdlib>

namespace orb {

TRunContext::TRunContext(const TSettings& s)
    : StartJulDat(s.Startdat), EndJulDat(s.Startdat + s.DeltaTab), Zeitzone(s.Zeitzone) {}

void TRunContext::RequestStop() {
  // Marked first: a Begin that runs meanwhile either sees the mark or has
  // stored its state, which the exchange below then turns negative.
  ++stopRequests_;
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
  while (run.RunState < 0) {
    const uint32_t requests = run.StopRequests();
    if (host.MessageBox(MsgKind::Confirmation, "Abbruch", "Berechnung abbrechen?", MsgResult::No) != MsgResult::No) {
      break;
    }
    // "Nein" must not swallow a stop command given while the question was
    // open or after it closed: the command counts first and then makes the
    // state negative, so one of the two is seen here.
    run.RunState = state;
    if (run.StopRequests() == requests) break;
    run.RunState = -std::abs(state);
  }
  return run.RunState > 0;
}

}  // namespace orb
