// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>

#include "core/Host.h"

namespace orb::cli {

// The host of the batch program: lines go to standard output, message boxes
// to standard error as "<caption>: <text>", confirmations are answered by
// --answer (or by the answer that lets the computation go on), input boxes
// take their preset value.
// When standard output cannot be written (a full disk, a closed pipe), the
// computation is stopped at its next step (the stop question is answered
// "Ja" without being shown) and FinishOutput reports the failure.
class CliHost : public Host {
 public:
  CliHost(std::ostream& out, std::ostream& err, std::optional<bool> answerYes);

  void AddLine(const std::string& line) override;
  std::size_t LineCount() const override { return lines_; }
  void ProcessMessages() override;
  MsgResult MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                       MsgResult goOn = MsgResult::Yes) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void Beep() override {}
  void EnableStop(bool) override {}
  void Progress(const std::string&) override {}

  // Called once when a line could not be written (the batch program stops
  // the computation with it).
  void OnOutputFailure(std::function<void()> stop) { stop_ = std::move(stop); }
  // Flushes standard output; false, with a German message on standard
  // error, when any line could not be written.
  bool FinishOutput();

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::optional<bool> answerYes_;
  std::size_t lines_ = 0;
  bool outputFailed_ = false;
  bool stopRequested_ = false;
  int failureErrno_ = 0;
  std::function<void()> stop_;
};

}  // namespace orb::cli
