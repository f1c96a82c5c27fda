// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace orb {

// Kind of a message box; decides its icon and its buttons.
enum class MsgKind {
  Warning,       // warning icon, one OK button
  Error,         // error icon, one OK button
  Information,   // information icon, one OK button
  Confirmation,  // question icon, buttons "Ja" and "Nein"
};

// The button with which the user closed a message box.
enum class MsgResult { Ok, Yes, No, Cancel };

// Everything a computation asks of the user interface. The main window
// implements it, the batch program implements it for standard output and
// standard error, and tests implement a scripted host that records lines and
// answers questions from a queue. Computations receive it by reference.
class Host {
 public:
  virtual ~Host() = default;

  // Appends one line to the text area; an empty text gives an empty line.
  virtual void AddLine(const std::string& line) = 0;

  // The number of lines the text area holds.
  virtual std::size_t LineCount() const = 0;

  // Dispatches pending window messages (one step of the message pump), so
  // that the stop button can be pressed during a long computation.
  virtual void ProcessMessages() = 0;

  // Shows a message box and returns the button the user pressed.
  // Warning, Error and Information return Ok; Confirmation returns Yes or No.
  // `goOn` names the answer of a confirmation that lets the computation go
  // on ("Nein" to "Berechnung abbrechen?"); a host without a user (the batch
  // program) answers with it.
  virtual MsgResult MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                               MsgResult goOn = MsgResult::Yes) = 0;

  // Asks for a text. `value` holds the preset on entry and the answer on
  // return; returns false when the user cancelled (then `value` is unchanged).
  virtual bool InputBox(const std::string& caption, const std::string& prompt,
                        std::string& value) = 0;

  // A short acoustic signal.
  virtual void Beep() = 0;

  // Enables or disables the stop button while a computation runs.
  virtual void EnableStop(bool enabled) = 0;

  // A short progress text (status bar of the main window).
  virtual void Progress(const std::string& text) = 0;
};

}  // namespace orb
