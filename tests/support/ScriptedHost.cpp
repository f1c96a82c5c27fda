// SPDX-License-Identifier: AGPL-3.0-or-later
#include "support/ScriptedHost.h"

namespace orb::test {

void ScriptedHost::ProcessMessages() {
  ++pumps;
  if (onPump != nullptr) onPump(onPumpContext, pumps);
}

MsgResult ScriptedHost::MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                                   MsgResult /*goOn*/) {
  boxes.push_back({kind, caption, text});
  if (kind != MsgKind::Confirmation) return MsgResult::Ok;
  bool yes = true;
  if (!answers.empty()) {
    yes = answers.front();
    answers.pop_front();
  }
  return yes ? MsgResult::Yes : MsgResult::No;
}

bool ScriptedHost::InputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  prompts.push_back(caption + ": " + prompt);
  if (inputs.empty()) return true;
  Input in = inputs.front();
  inputs.pop_front();
  if (in.cancel) return false;
  value = in.text;
  return true;
}

}  // namespace orb::test
