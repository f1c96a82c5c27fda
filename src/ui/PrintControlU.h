// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// TPrintControl ("Drucken"): the one print dialog of the program. Text mode
// for the main window (printer, orientation, copies, font, left margin,
// range "&alles" / "&Markierung"); picture mode for the graphics window
// (the same plus "Hinter&grund drucken", "Auf Seitengröße skalieren",
// "Proportional" and a preview of the page drawn by the picture's own paint
// procedure, 100 ms after the last change). The printer list always offers
// "In PDF-Datei drucken", so that a machine without a printer can print to
// a file. And the text printer: PrintText.

#include <QDialog>
#include <QFont>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "graphics/PictureSetup.h"
#include "graphics/qt/QtPrinting.h"

namespace Ui {
class TPrintControl;
}

namespace orb {

class TPrintControl : public QDialog {
  Q_OBJECT

 public:
  // The entry of the printer list that prints into a PDF file.
  static const QString kPdfEntry;  // "In PDF-Datei drucken"

  explicit TPrintControl(QWidget* parent = nullptr);
  ~TPrintControl() override;

  // The printer the dialog configures: after OK it is set to the chosen
  // printer (or to PDF output into the chosen file), orientation and copies.
  QPrinter& Printer();

  // Text mode: the margin (mm) shown, the orientation, and "&Markierung"
  // checked when the text area has a selection (unchecked otherwise).
  void PrepareText(float marginMm, bool landscape, bool hasSelection);
  // Picture mode: the picture (paint procedure, world window, natural
  // size), its margin, page scaling and proportional scaling; "&alles"
  // checked, "&Markierung" disabled, "Hinter&grund drucken" shown, the
  // preview box shown.
  void PreparePicture(const PictureSetup& picture, float marginMm, bool scaleToPage, bool proportional);

  // "Es ist nichts markiert!" (error box) when "&Markierung" is chosen and
  // `selection` is empty; true when "&alles" is checked or the selection is
  // not empty.
  bool CheckRange(const QString& selection);

  // What the dialog holds (read by the callers after OK).
  float MarginMm() const;
  bool SelectionOnly() const;          // "&Markierung" checked
  bool Landscape() const;              // "&Querformat" checked
  PrintOptions PictureOptions() const; // margin, background, page scaling, proportional
  const QFont& TextFont() const;
  void SetTextFont(const QFont& font);

  // Asks for the PDF file when "In PDF-Datei drucken" is chosen and OK is
  // pressed (a save dialog with "PDF-Dateien (*.pdf)"); empty: cancelled,
  // the dialog stays open. Replaceable, so that tests need no file dialog.
  std::function<QString()> askPdfFileName;

 private:
  // Showing: printer list, orientation, copies and margin from the printer
  // and the dialog's state, the mode's controls, the preview.
  void showEvent(QShowEvent* event) override;

  std::unique_ptr<Ui::TPrintControl> ui_;
  // implementation state (helper-defined)
  struct State;
  std::unique_ptr<State> state_;
};

// The one print dialog, created on first use with `owner` as its parent
// and kept for the rest of the run.
TPrintControl& SharedPrintDialog(QWidget* owner);

// The indent of printed text in blanks: round((marginMm - 5) / blankWidthMm)
// (the printer's unprintable border counts as 5 mm), 0 below 5 mm; a blank
// width of 0 counts as 1.5 mm.
int TextIndentBlanks(float marginMm, float blankWidthMm);

// Prints `text` on `printer` with `font`: every line indented by
// TextIndentBlanks (the blank's width measured with the font on the
// printer); a line feed starts a new line one text height lower, a carriage
// return is ignored, a form feed starts a new page, a tab advances to the
// next multiple of eight average character widths, and a line that would
// pass the bottom of the page starts a new page first. Returns "" or a
// German error text (the job could not start, the PDF file could not be
// written: the rules of core/SafeFile.h).
std::string PrintText(QPrinter& printer, const QFont& font, const QString& text, float marginMm);

}  // namespace orb
