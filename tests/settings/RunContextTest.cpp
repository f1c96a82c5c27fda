// SPDX-License-Identifier: AGPL-3.0-or-later
// The stop question between two steps of a computation.
#include "settings/RunContext.h"

#include <gtest/gtest.h>

#include "support/ScriptedHost.h"

namespace orb {
namespace {

// A host whose user presses the stop button again just as the first
// question is answered "Nein" (in the window the answer reaches the
// computation's thread a moment later than the button's next click).
class StopAgainHost : public test::ScriptedHost {
 public:
  explicit StopAgainHost(TRunContext& run) : run_(run) {}
  MsgResult MessageBox(MsgKind kind, const std::string& caption, const std::string& text, MsgResult goOn) override {
    const MsgResult answer = test::ScriptedHost::MessageBox(kind, caption, text, goOn);
    if (boxes.size() == 1) run_.RequestStop();
    return answer;
  }

 private:
  TRunContext& run_;
};

TEST(RunContext, AStopDuringTheAnswerIsAskedAgain) {
  TRunContext run(TSettings{});
  run.Begin(1);
  StopAgainHost host(run);
  host.QueueAnswer(false);  // "Nein"
  host.QueueAnswer(true);   // "Ja"
  run.RequestStop();
  EXPECT_FALSE(PumpAndAskStop(run, host, 1));
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].text, "Berechnung abbrechen?");

  // Without a second stop, "Nein" goes on.
  TRunContext quiet(TSettings{});
  quiet.Begin(1);
  test::ScriptedHost plain;
  plain.QueueAnswer(false);
  quiet.RequestStop();
  EXPECT_TRUE(PumpAndAskStop(quiet, plain, 1));
  EXPECT_EQ(plain.boxes.size(), 1u);
  EXPECT_EQ(quiet.RunState, 1);
}

}  // namespace
}  // namespace orb
