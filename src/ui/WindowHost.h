// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The Host of a computation that runs on a worker thread while the window
// stays responsive. Lines are gathered and reach the text area in batches
// (a timer on the window's thread takes them every 40 ms); message boxes,
// input boxes, the beep, the stop button and the progress text are handed
// to the window's thread and, for questions, the worker waits for the
// answer there. Called on the window's own thread (a computation started
// without a worker, as the tests may), everything happens at once.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "core/Host.h"

class QPlainTextEdit;
class QStatusBar;
class QWidget;

namespace orb {

class WindowHost : public QObject, public Host {
  Q_OBJECT

 public:
  // `text` receives the lines; `dialogParent` owns the message boxes;
  // `enableStop` switches the stop button; `progress` shows a progress text.
  WindowHost(QPlainTextEdit* text, QWidget* dialogParent, std::function<void(bool)> enableStop,
             std::function<void(const QString&)> progress);
  ~WindowHost() override;

  // Host
  void AddLine(const std::string& line) override;
  std::size_t LineCount() const override;
  void ProcessMessages() override {}
  MsgResult MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                       MsgResult goOn = MsgResult::Yes) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void Beep() override;
  void EnableStop(bool enabled) override;
  void Progress(const std::string& text) override;

  // Takes the gathered lines into the text area now (the window's thread).
  void Flush();
  // The number of lines the text area holds when a computation starts.
  void ResetLineCount();

  // Runs `f` on the window's thread and waits for it (from a worker), or
  // runs it at once (on the window's thread).
  void OnWindowThread(const std::function<void()>& f);

 private:
  QPlainTextEdit* text_;
  QWidget* dialogParent_;
  std::function<void(bool)> enableStop_;
  std::function<void(const QString&)> progress_;
  QTimer flushTimer_;
  std::mutex mutex_;
  QStringList pending_;
  std::atomic<std::size_t> lines_{0};
};

// The input box of the program: `caption`, `prompt`, the text field with
// `value`, German buttons "OK" and "Abbrechen". True, with the answer in
// `value`, when confirmed.
bool AskText(QWidget* parent, const QString& caption, const QString& prompt, QString& value);

}  // namespace orb
