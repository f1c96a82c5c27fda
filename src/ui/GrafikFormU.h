// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TGraphForm: the window that shows one picture (caption "Graphikausgabe"
// until its owner sets another). It keeps the picture's paint procedure,
// world window and natural size and draws it anew at every paint: zoom in
// √2 steps and by percentage ("Eingabe"), "Einpassen", "Proportional",
// "Fenstergröße anpassen", saving bitmaps at screen resolution, 300 and 600
// dpi (BMP, or PNG by the file name's extension) with the overwrite
// question, printing through the print dialog, and the menu entries its
// owner adds (the eclipse navigation).

#include <QKeySequence>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "graphics/PictureSetup.h"

class QAction;
class QCloseEvent;
class QKeyEvent;
class QScrollArea;

namespace orb {

class TPrintControl;

class TGraphForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TGraphForm(QWidget* owner = nullptr);
  ~TGraphForm() override;  // calls OnFreeProc when set

  // The one entry for picture owners: creates the window into `form` when
  // it is empty; sizes it to the picture's natural size at the screen's
  // resolution and keeps it on the screen unless SizedOnce; PrintMarginMm
  // = 25; takes the picture (paint procedure, world window, size, caption
  // when not empty, "Proportional" checked as the picture says) and shows
  // the window (not modal). Returns the window.
  // Each call takes the picture's own paint procedure. A window that sizes
  // itself is at least as wide as its menu bar (up to the screen's width),
  // also after the owner's entries arrive, so that none hides behind the
  // menu bar's extension button.
  static TGraphForm* ShowGraph(TGraphForm*& form, const PictureSetup& picture, QWidget* owner);

  // A menu entry of the owner (caption with "&", tag, a shortcut key
  // without modifiers or none, the click handler); entries with the same
  // tag are added once.
  void AddMenuEntry(const QString& caption, int tag, const QKeySequence& key, std::function<void()> onClick);

  // The view: zoom factor, "Einpassen", "Proportional".
  float Zoom() const;
  void SetZoom(float zoom);  // unchecks "Einpassen" and repaints
  bool FitToWindow() const;
  void SetFitToWindow(bool fit);
  bool Proportional() const;
  void SetProportional(bool proportional);
  // The drawing area's size in pixels (may exceed the client area: scroll
  // bars then reach the rest).
  QSize DrawingAreaSize() const;

  // Saving: the bitmap of kind 1 (screen), 2 (300 dpi) or 3 (600 dpi) into
  // `fileName` (".bmp" appended when the name has no extension); the size
  // of the rules of the window (the picture at zoom 1 for the screen, the
  // client area at 300 or 600 dpi otherwise). Returns "" or a German error
  // text. The menu entries ask for the name first (askSaveFileName) and,
  // when the file exists, "Datei … ist schon vorhanden! Überschreiben?"
  // (askOverwrite: Yes writes, No asks for the name again, Cancel stops).
  // At 300 and 600 dpi the bitmap is the client area's size times
  // dpi / screen dpi; with "Proportional" the picture keeps its own shape
  // in it (at the top left, as large as it fits, the rest white).
  std::string SaveBitmapAs(int kind, const QString& fileName);
  std::function<QString()> askSaveFileName;
  std::function<int(const QString& question)> askOverwrite;  // QMessageBox::Yes / No / Cancel
  std::function<QString()> askZoom;  // the answer of "Bitte Zoomfaktor eingeben:", empty when cancelled
  // Shows an error text of saving or printing (a message box).
  std::function<void(const QString& text)> showError;

  // Printing through the shared print dialog (picture mode); returns "" or
  // a German error text, also when the dialog was cancelled ("").
  std::string Print();

  bool SizedOnce = false;
  float PrintMarginMm = 15.0f;
  std::function<void()> OnFreeProc;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;  // Escape hides the window
  void closeEvent(QCloseEvent* event) override;   // hides and sets SizedOnce

 private:
  void Relayout();  // the drawing area for the view, the "Eingabe" caption, a repaint
  void AskZoom();
  void SetClientSize(QSize client);
  void LayOutNow();
  void FitWindowToDrawing();
  void WidenForMenu();
  void KeepOnScreen();
  void SaveFromMenu(int tag);
  // The shown picture: paint procedure, the drawing's world window, natural
  // size, "Proportional", the window's caption.
  PictureSetup CurrentPicture() const;

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orb
