// SPDX-License-Identifier: AGPL-3.0-or-later
// The 10,000-row Mars table of bench/cli-vs-swetest.sh shown in the real
// main window, beside the batch program's time for the same table in the
// same run, and the window's responsiveness meanwhile: the longest gap
// between two ticks of a 10 ms timer on the window's thread (the window
// could not have repainted sooner) and between two paints of the text area.
// Run it under a display, e.g. `xvfb-run -a build-rel/bench/bench_window_table`
// (bench/window-vs-cli.sh does), with a Release build. Not a test: it
// prints its figures.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "cli/CliApp.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"
#include "ui/MainForm.h"

namespace {

// The same table as the batch comparison: Mars from J2000, 10,000 rows in
// steps of 0.1 day, the default columns.
constexpr const char* kMainSection =
    "[Astronomieprogramm Einstellungen]\nTabelle=1\nStartdat=2451545\nDeltaTab=999.9\nSchrittweite=0.1\n"
    "PlanetNr=3\nObjekt=3\n";

// Counts the paints of a widget and the longest gap between two of them.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QElapsedTimer& clock) : clock_(clock) {}
  qint64 longestGap_ms = 0;
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const qint64 now = clock_.elapsed();
      if (paints > 0) longestGap_ms = std::max(longestGap_ms, now - last_);
      last_ = now;
      ++paints;
    }
    return false;
  }

 private:
  QElapsedTimer& clock_;
  qint64 last_ = 0;
};

double BatchSeconds() {
  std::ostringstream out, err;
  QElapsedTimer t;
  t.start();
  orb::cli::RunCli({"--no-ini", "--set", "Tabelle=1", "--set", "Startdat=2451545", "--set", "DeltaTab=999.9", "--set",
                    "Schrittweite=0.1", "--set", "Objekt=3", "table"},
                   out, err);
  return t.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  orb::test::TempDir dir;
  orb::TForm1 form(orb::SettingsFile::Open(dir.write("ORBITELLO.INI", kMainSection)));
  form.resize(1000, 700);
  form.show();
  QApplication::processEvents();

  const double batch_s = BatchSeconds();

  QElapsedTimer clock;
  clock.start();
  PaintWatch paints(clock);
  form.Memo()->viewport()->installEventFilter(&paints);
  qint64 lastTick = 0, longestTick_ms = 0;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longestTick_ms = std::max(longestTick_ms, now - lastTick);
    lastTick = now;
  });
  ticker.start();
  lastTick = clock.elapsed();
  const qint64 start = clock.elapsed();
  form.PlanetBtnClick();
  form.WaitForRun();
  QApplication::processEvents();
  const double window_s = (clock.elapsed() - start) / 1000.0;
  ticker.stop();

  const int lines = form.Memo()->document()->blockCount();
  std::printf("batch program, 10000-row Mars table:  %6.3f s\n", batch_s);
  std::printf("main window,   10000-row Mars table:  %6.3f s  (%.2f x the batch program; %d lines shown)\n", window_s,
              window_s / batch_s, lines);
  std::printf("longest gap between two 10 ms timer ticks on the window's thread: %lld ms\n",
              static_cast<long long>(longestTick_ms));
  std::printf("paints of the text area: %d, longest gap between two: %lld ms\n", paints.paints,
              static_cast<long long>(paints.longestGap_ms));
  return 0;
}
