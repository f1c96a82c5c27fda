// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Input of the window tests that Qt Test lacks: acting on a modal box from
// inside the event loop that shows it, typing letters beyond ASCII, finding
// a control by name and showing a window active.

#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace orb::test {

// The watchers of OnNextModal that have not acted yet.
inline QObject& PendingModalAnswers() {
  static auto* const pending = new QObject;
  return *pending;
}

// Acts on the next modal widget (a message box, an input box, a dialog) as
// soon as it appears, from the event loop that shows it.
inline void OnNextModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(&PendingModalAnswers());
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    }
  });
  timer->start();
}

// Drops the answers no box has asked for: a failed test must not leave one
// behind for the boxes of the next.
inline void ForgetPendingModalAnswers() { qDeleteAll(PendingModalAnswers().children()); }

// Types `text` as a keyboard would, letters beyond ASCII included
// (QTest::keyClicks knows ASCII only).
inline void Type(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

// The control `name` of `window`; a test without it cannot go on.
template <typename W>
W* Control(const QObject* window, const char* name) {
  W* w = window->findChild<W*>(QLatin1String(name));
  if (!w) qFatal("no control %s", name);
  return w;
}

// Shows `window` and waits until it is the active window.
inline void ShowActive(QWidget* window) {
  window->show();
  window->activateWindow();
  (void)QTest::qWaitForWindowActive(window);
}

}  // namespace orb::test
