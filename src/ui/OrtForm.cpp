// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/OrtForm.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStyle>
#include <QTextCursor>

#include "core/NumText.h"
#include "core/SafeFile.h"
#include "settings/LocationList.h"
#include "ui_OrtForm.h"
#include "ui/UiText.h"

namespace orb {
namespace {

// The search in list mode starts with the fourth character typed.
constexpr std::size_t kMinSearchChars = 4;
// Columns of the list and the headings: "Name, Land", latitude and
// longitude ("51.74 N   7.19 E "), then the zone.
constexpr int kCoordinateColumns = 17;
// The list shows lines of this many characters without scrolling, and
// this many lines.
constexpr int kVisibleColumns = 62;
constexpr int kVisibleLines = 16;


QFont FixedPitchFont(const QFont& base) {
  QFont font(base);
  font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                    QStringLiteral("Courier New"), QStringLiteral("monospace")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

// Upper case, character by character, so that positions stay those of the
// text ("ß" stays one character).
QString UpperChars(QString text) {
  for (QChar& c : text) c = c.toUpper();
  return text;
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

void ShowError(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::NoButton, parent);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

}  // namespace

TOrtForm::TOrtForm(TSettings& settings, QWidget* parent)
    : QDialog(parent), beep([] { QApplication::beep(); }), ui_(std::make_unique<Ui::TOrtForm>()), settings_(settings) {
  ui_->setupUi(this);

  LayOutColumns();

  connect(ui_->Suchen, &QPushButton::clicked, this, &TOrtForm::SuchenClick);
  connect(ui_->SuchEdit, &QLineEdit::textChanged, this, &TOrtForm::SuchEditChange);
  connect(ui_->Editieren, &QPushButton::clicked, this, &TOrtForm::EditierenClick);
  connect(ui_->OK, &QPushButton::clicked, this, &TOrtForm::OKClick);
  connect(ui_->Abbruch, &QPushButton::clicked, this, &TOrtForm::AbbruchClick);
  connect(ui_->ListBox1, &QListWidget::itemClicked, this, &TOrtForm::Choose);

  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  ShowListMode();
}

TOrtForm::~TOrtForm() = default;

void TOrtForm::LayOutColumns() {
  const QFont fixed = FixedPitchFont(font());
  for (QWidget* w : {static_cast<QWidget*>(ui_->ListBox1), static_cast<QWidget*>(ui_->OrtEdit),
                     static_cast<QWidget*>(ui_->Label1), static_cast<QWidget*>(ui_->Label2),
                     static_cast<QWidget*>(ui_->Label3)}) {
    w->setFont(fixed);
  }
  // The headings stand over the columns of the lines.
  const QFontMetrics metrics(fixed);
  const auto columns = [&metrics](int n) { return metrics.horizontalAdvance(QString(n, QLatin1Char('0'))); };
  ui_->Label1->setFixedWidth(columns(static_cast<int>(kLocationNameColumns)));
  ui_->Label2->setFixedWidth(columns(kCoordinateColumns));
  const int textInset = ui_->ListBox1->frameWidth() +
                        style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ui_->ListBox1) + 1;
  ui_->HeadingsLayout->setContentsMargins(textInset, 0, 0, 0);
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ui_->ListBox1);
  const QSize view(columns(kVisibleColumns) + scrollBar + 2 * textInset, kVisibleLines * metrics.lineSpacing());
  ui_->ListBox1->setMinimumSize(view);
  ui_->OrtEdit->setMinimumSize(view);
}

void TOrtForm::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::FontChange) LayOutColumns();
}

void TOrtForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  chosen_ = false;
  ui_->SuchEdit->clear();
  ui_->ListBox1->clear();
  ShowListMode();
  searchCaret_ = 0;
  ui_->SuchEdit->setFocus();
}

void TOrtForm::ShowListMode() {
  editMode_ = false;
  ui_->OrtEdit->hide();
  ui_->OK->hide();
  ui_->ListBox1->show();
  ui_->Suchen->show();
  ui_->Editieren->show();
  ui_->SuchEdit->show();
}

void TOrtForm::Beep() {
  if (beep) beep();
}

// ---- list mode ----

void TOrtForm::SuchEditChange() {
  if (!editMode_ && Utf8Length(ui_->SuchEdit->text().toStdString()) >= kMinSearchChars) SearchList();
}

void TOrtForm::SuchenClick() {
  if (editMode_) SearchEditor();
  else SearchList();
}

void TOrtForm::SearchList() {
  ui_->ListBox1->clear();
  QStringList lines;
  for (const std::string& line : SearchLocationList(settings_.OrtsDatName, ui_->SuchEdit->text().toStdString()))
    lines << Q(line);
  ui_->ListBox1->addItems(lines);
}

void TOrtForm::Choose() {
  const QList<QListWidgetItem*> selected = ui_->ListBox1->selectedItems();
  if (selected.isEmpty() || selected.front()->text().isEmpty()) {
    Beep();
    return;
  }
  const std::string line = selected.front()->text().toStdString();
  if (const std::string why = LocationLineProblem(line); !why.empty()) {
    // A line cut off or of another layout would give 0 for what it lacks;
    // the place stays, and the dialog stays open for another line or the
    // editor.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Beobachtungsort"),
                    QStringLiteral("Die Zeile \"") + Q(TrimBlanks(line)) + QStringLiteral("\" der Ortsdatei ") +
                        Q(settings_.OrtsDatName) + QStringLiteral(" ist unvollständig oder beschädigt: ") + Q(why) +
                        QStringLiteral(". Der Beobachtungsort bleibt unverändert."),
                    QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return;
  }
  ApplyLocation(settings_, ReadLocationLine(line));
  chosen_ = true;
  accept();
}

// ---- edit mode ----

void TOrtForm::EditierenClick() {
  std::string text;
  const FileResult read = ReadLocationListText(settings_.OrtsDatName, text);
  if (!read.ok() && !IsMissingFile(read.error)) {
    // Editing an empty text in its place would replace the list on "OK".
    ShowError(this, QStringLiteral("Datei ") + Q(settings_.OrtsDatName) +
                        QStringLiteral(" kann nicht gelesen werden: ") + Q(read.reason) + QStringLiteral("."));
    return;
  }
  editMode_ = true;
  ui_->ListBox1->hide();
  ui_->Editieren->hide();
  ui_->OK->show();
  ui_->OrtEdit->setPlainText(Q(text));
  ui_->OrtEdit->show();
  ui_->SuchEdit->setFocus();
  searchCaret_ = 0;
}

// Rule of the search: the first occurrence when it lies beyond SearchCaret + 1
// (1-based), else the first one from character SearchCaret + 2 (1-based) on.
void TOrtForm::SearchEditor() {
  const QString s = UpperChars(ui_->SuchEdit->text());
  const QString t = UpperChars(ui_->OrtEdit->toPlainText());
  qsizetype found = -1;  // 0-based
  if (!s.isEmpty()) {
    const qsizetype first = t.indexOf(s);
    if (first >= 0 && first + 1 > qsizetype{searchCaret_} + 1) found = first;
    else found = t.indexOf(s, qsizetype{searchCaret_} + 1);
  }
  if (found < 0) {
    Beep();
    return;
  }
  QTextCursor cursor(ui_->OrtEdit->document());
  cursor.setPosition(static_cast<int>(found));
  cursor.setPosition(static_cast<int>(found + s.size()), QTextCursor::KeepAnchor);
  ui_->OrtEdit->setTextCursor(cursor);
  ui_->OrtEdit->setFocus();
}

void TOrtForm::OKClick() {
  const std::string target = LocationListSaveTarget(settings_.OrtsDatName);
  const FileResult written = ReplaceFileContents(target, ui_->OrtEdit->toPlainText().toStdString());
  if (!written.ok()) {
    ShowError(this, QStringLiteral("Datei ") + Q(target) + QStringLiteral(" konnte nicht geschrieben werden: ") +
                        Q(written.reason) + QStringLiteral("."));
    return;
  }
  ShowListMode();
  if (Utf8Length(ui_->SuchEdit->text().toStdString()) >= kMinSearchChars) SearchList();
  ui_->SuchEdit->setFocus();
}

void TOrtForm::AbbruchClick() {
  if (!editMode_) {
    reject();
    return;
  }
  ShowListMode();
  ui_->SuchEdit->setFocus();
}

// ---- keys ----

bool TOrtForm::HandleKey(QObject* receiver, QKeyEvent* key) {
  QListWidget* list = ui_->ListBox1;
  const int k = key->key();
  if (k == Qt::Key_Escape) {
    // In edit mode Escape would close the dialog and lose the edited text.
    if (!editMode_) reject();
    return true;
  }
  if (editMode_) return false;
  if (IsEnter(k)) {
    if (list->count() == 1 && receiver == ui_->SuchEdit) list->setCurrentRow(0);
    Choose();
    return true;
  }
  if (k == Qt::Key_Down && receiver == ui_->SuchEdit && list->count() > 0) {
    list->setFocus();
    list->setCurrentRow(0);
    return true;
  }
  if (receiver != list || (k != Qt::Key_Down && k != Qt::Key_Up)) return false;
  const QList<QListWidgetItem*> selected = list->selectedItems();
  const int row = selected.isEmpty() ? -1 : list->row(selected.front());
  if (k == Qt::Key_Down) {
    if (row + 1 < list->count()) list->setCurrentRow(row + 1);
  } else if (row <= 0) {
    ui_->SuchEdit->setFocus();
  } else {
    list->setCurrentRow(row - 1);
  }
  return true;
}

void TOrtForm::keyPressEvent(QKeyEvent* event) {
  if (HandleKey(this, event)) return;
  QDialog::keyPressEvent(event);
}

bool TOrtForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleKey(watched, static_cast<QKeyEvent*>(event))) return true;
  if (watched == ui_->OrtEdit && event->type() == QEvent::FocusOut)
    searchCaret_ = ui_->OrtEdit->textCursor().selectionStart();
  return QDialog::eventFilter(watched, event);
}

}  // namespace orb
