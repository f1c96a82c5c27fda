// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The state of one running computation (a table, the yearbook, the lunar
// phase list, an eclipse search): the instant being computed, the end of the
// range, the zone in use, deltaT, the run state that the stop command
// negates, and the last table header of the text area.
//
// A computation reads the settings it was started with as a const snapshot
// and keeps everything that moves while it runs here, so that the settings
// can be edited in a dialog while a computation runs on another thread.
// Nothing flows back into the settings by itself; what a run hands back (the
// last header line, the instant an eclipse picture offers with "Datum
// übernehmen") the caller takes over explicitly.

#include <atomic>
#include <cstdint>
#include <string>

#include "core/Host.h"
#include "core/NumKernel.h"
#include "settings/Settings.h"

namespace orb {

// Run states: 0 idle; positive while a computation runs (the value names
// it); negative after the user asked to stop.
inline constexpr int32_t kRunTable = 1;
inline constexpr int32_t kRunLunarPhases = 15;
inline constexpr int32_t kRunSolarEclipses = 20;      // local report; 21 with a picture
inline constexpr int32_t kRunSolarEclipsePath = 22;   // central path; 23 with a picture
inline constexpr int32_t kRunLunarEclipses = 30;

struct TRunContext {
  // StartJulDat := Startdat, EndJulDat := Startdat + DeltaTab, Zeitzone := the
  // effective zone of the settings (summer time for Startdat).
  explicit TRunContext(const TSettings& s);
  TRunContext(const TRunContext&) = delete;
  TRunContext& operator=(const TRunContext&) = delete;

  Extended StartJulDat = 0;  // instant of the row or event being computed (JD, UT; TT with TDT)
  Extended EndJulDat = 0;    // end of the range (JD)
  float Zeitzone = 0;        // zone of the instant being computed (hours east)
  Extended DeltaT = 0;       // TT - UT of the instant (days)
  // 0 idle, > 0 running, < 0 stop requested. The stop command may come from
  // another thread than the computation.
  std::atomic<int32_t> RunState{0};
  std::atomic<bool> YearBookRun{false};  // a yearbook run is in progress
  // The header line last written to the text area; a table writes a new
  // header only when it differs. The caller keeps it between runs and
  // clears it when the text area is erased.
  std::string LastHeader;

  // The stop command: marks the computation for the stop question and ends
  // a yearbook run after its current table. Safe from any thread, also
  // before the computation has begun: the question then comes at its first
  // step.
  void RequestStop();
  // Ends the computation after its current step without the question (the
  // window closes); also before it has begun. Safe from any thread.
  void End();
  // The computation's start: RunState = `state`, unless the stop command
  // came first (RunState = -`state`) or the computation was ended (0).
  void Begin(int32_t state);
  // How many stop commands have come so far.
  uint32_t StopRequests() const { return stopRequests_.load(); }

 private:
  std::atomic<uint32_t> stopRequests_{0};
  std::atomic<bool> stopBeforeBegin_{false};
  std::atomic<bool> ended_{false};
};

// One step of the message pump between two rows or search steps. After a
// stop request the question "Berechnung abbrechen?" (caption "Abbruch"):
// "Nein" sets the run state back to `state` and the computation goes on,
// "Ja" leaves it negative. A stop command that comes while the question is
// open, or while "Nein" is being taken, asks again. Returns whether the computation goes on
// (RunState > 0; a state of 0 set by the computation itself ends it
// without a question).
bool PumpAndAskStop(TRunContext& run, Host& host, int32_t state);

}  // namespace orb
