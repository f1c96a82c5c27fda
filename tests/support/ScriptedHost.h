// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/Host.h"

namespace orb::test {

// A host for tests: records every line and every message box, answers
// confirmations and input boxes from queues (default: Yes, and the preset).
class ScriptedHost : public Host {
 public:
  struct Box {
    MsgKind kind;
    std::string caption;
    std::string text;
  };

  void AddLine(const std::string& line) override { lines.push_back(line); }
  std::size_t LineCount() const override { return lines.size(); }
  void ProcessMessages() override;
  MsgResult MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                       MsgResult goOn = MsgResult::Yes) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void Beep() override { ++beeps; }
  void EnableStop(bool enabled) override { stopEnabled = enabled; }
  void Progress(const std::string& text) override { progress.push_back(text); }

  // Queue the answer of the next confirmation (true = "Ja").
  void QueueAnswer(bool yes) { answers.push_back(yes); }
  // Queue the answer of the next input box, or a cancelled input box.
  void QueueInput(const std::string& text) { inputs.push_back({text, false}); }
  void QueueCancelInput() { inputs.push_back({"", true}); }

  std::vector<std::string> lines;
  std::vector<Box> boxes;
  std::vector<std::string> progress;
  std::deque<bool> answers;
  struct Input {
    std::string text;
    bool cancel;
  };
  std::deque<Input> inputs;
  std::vector<std::string> prompts;
  int beeps = 0;
  int pumps = 0;
  bool stopEnabled = false;
  // When set, ProcessMessages calls it (e.g. to press the stop button).
  void (*onPump)(void* context, int pumpCount) = nullptr;
  void* onPumpContext = nullptr;
};

}  // namespace orb::test
