// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliHost.h"

#include <ostream>

namespace orb::cli {

CliHost::CliHost(std::ostream& out, std::ostream& err, std::optional<bool> answerYes)
    : out_(out), err_(err), answerYes_(answerYes) {}

void CliHost::AddLine(const std::string& line) {
  out_ << line << '\n';
  ++lines_;
}

MsgResult CliHost::MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                              MsgResult goOn) {
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
