// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliHost.h"

#include <cerrno>
#include <ostream>

#include "core/SafeFile.h"

namespace orb::cli {

CliHost::CliHost(std::ostream& out, std::ostream& err, std::optional<bool> answerYes)
    : out_(out), err_(err), answerYes_(answerYes) {}

void CliHost::AddLine(const std::string& line) {
  if (outputFailed_) return;
  errno = 0;
  out_ << line << '\n';
  ++lines_;
  if (!out_) {
    outputFailed_ = true;
    failureErrno_ = errno;
  }
}

void CliHost::ProcessMessages() {
  if (outputFailed_ && !stopRequested_ && stop_) {
    stopRequested_ = true;
    stop_();
  }
}

bool CliHost::FinishOutput() {
  if (!outputFailed_) {
    errno = 0;
    out_.flush();
    if (out_) return true;
    failureErrno_ = errno;
  }
  std::string text = "Die Ausgabe konnte nicht vollständig geschrieben werden";
  if (failureErrno_ != 0) text += ": " + FileErrorReason(failureErrno_);
  err_ << "Fehler: " << text << ".\n";
  return false;
}

MsgResult CliHost::MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                              MsgResult goOn) {
  // After a failed write the computation is being stopped: the stop question
  // is answered without being shown.
  if (kind == MsgKind::Confirmation && stopRequested_) return goOn == MsgResult::No ? MsgResult::Yes : MsgResult::No;
  err_ << caption << ": " << text << '\n';
  if (kind != MsgKind::Confirmation) return MsgResult::Ok;
  if (answerYes_) return *answerYes_ ? MsgResult::Yes : MsgResult::No;
  return goOn;
}

bool CliHost::InputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  err_ << caption << ": " << prompt << ' ' << value << '\n';
  return true;
}

}  // namespace orb::cli
