// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/WindowHost.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <utility>

namespace orb {
namespace {

// How often the gathered lines reach the text area (ms): often enough to
// see a table grow, rarely enough that the window spends its time painting
// rather than appending.
constexpr int kFlushInterval_ms = 40;

QMessageBox::Icon IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning:
      return QMessageBox::Warning;
    case MsgKind::Error:
      return QMessageBox::Critical;
    case MsgKind::Information:
      return QMessageBox::Information;
    case MsgKind::Confirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// A message box with German buttons: "OK", or "&Ja" and "&Nein" for a
// confirmation, the answer that lets the computation go on as default.
MsgResult AskInGerman(QWidget* parent, MsgKind kind, const QString& caption, const QString& text, MsgResult goOn) {
  QMessageBox box(IconOf(kind), caption, text, QMessageBox::NoButton, parent);
  if (kind != MsgKind::Confirmation) {
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return MsgResult::Ok;
  }
  QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
  box.setDefaultButton(goOn == MsgResult::No ? no : yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? MsgResult::Yes : MsgResult::No;
}

}  // namespace

bool AskText(QWidget* parent, const QString& caption, const QString& prompt, QString& value) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(value);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.textValue();
  return true;
}

WindowHost::WindowHost(QPlainTextEdit* text, QWidget* dialogParent, std::function<void(bool)> enableStop,
                       std::function<void(const QString&)> progress)
    : text_(text), dialogParent_(dialogParent), enableStop_(std::move(enableStop)), progress_(std::move(progress)) {
  flushTimer_.setInterval(kFlushInterval_ms);
  connect(&flushTimer_, &QTimer::timeout, this, &WindowHost::Flush);
  flushTimer_.start();
  ResetLineCount();
}

WindowHost::~WindowHost() = default;

void WindowHost::AddLine(const std::string& line) {
  const std::lock_guard<std::mutex> lock(mutex_);
  pending_ << QString::fromStdString(line);
  ++lines_;
}

std::size_t WindowHost::LineCount() const { return lines_; }

void WindowHost::Flush() {
  QStringList lines;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    lines.swap(pending_);
  }
  if (lines.isEmpty()) return;
  text_->appendPlainText(lines.join(QLatin1Char('\n')));
}

void WindowHost::ResetLineCount() {
  const QTextDocument* doc = text_->document();
  lines_ = doc->isEmpty() ? 0 : static_cast<std::size_t>(doc->blockCount());
}

void WindowHost::OnWindowThread(const std::function<void()>& f) {
  if (QThread::currentThread() == thread()) {
    f();
    return;
  }
  QMetaObject::invokeMethod(this, f, Qt::BlockingQueuedConnection);
}

MsgResult WindowHost::MessageBox(MsgKind kind, const std::string& caption, const std::string& text, MsgResult goOn) {
  MsgResult result = MsgResult::Ok;
  OnWindowThread([&] {
    Flush();
    result = AskInGerman(dialogParent_, kind, QString::fromStdString(caption), QString::fromStdString(text), goOn);
  });
  return result;
}

bool WindowHost::InputBox(const std::string& caption, const std::string& prompt, std::string& value) {
  bool accepted = false;
  OnWindowThread([&] {
    Flush();
    QString answer = QString::fromStdString(value);
    accepted = AskText(dialogParent_, QString::fromStdString(caption), QString::fromStdString(prompt), answer);
    if (accepted) value = answer.toStdString();
  });
  return accepted;
}

void WindowHost::Beep() {
  QMetaObject::invokeMethod(this, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void WindowHost::EnableStop(bool enabled) {
  QMetaObject::invokeMethod(this, [this, enabled] { enableStop_(enabled); }, Qt::QueuedConnection);
}

void WindowHost::Progress(const std::string& text) {
  QMetaObject::invokeMethod(
      this, [this, t = QString::fromStdString(text)] { progress_(t); }, Qt::QueuedConnection);
}

}  // namespace orb
