// SPDX-License-Identifier: AGPL-3.0-or-later
#include "ui/CometForm.h"

#include <QApplication>
#include <QByteArray>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QShowEvent>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <utility>

#include "core/NumText.h"
#include "engine/CometOrbit.h"
#include "settings/CurrentElements.h"
#include "ui_CometForm.h"
#include "ui/UiText.h"

namespace orb {
namespace {


constexpr const char* kCaption = "Neuen Kometen / Asteroiden auswählen";
// The minor-planet element files below the data folder (the ".AST" tree).
constexpr const char* kAsteroidFolder = "ASTEROID/ASTEROID/";
// The result list shows a comet's name (43 columns) and its perihelion year.
constexpr int kListColumns = 60;
constexpr int kListLines = 12;
// The data folder field shows a path of this many characters.
constexpr int kFolderColumns = 50;

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// The list keys are byte strings (the lines of the element files as read);
// the rows of ListBox2 carry them unchanged beside their text.
constexpr int kKeyRole = Qt::UserRole;

// The name of the small body among the objects: the trimmed name, with
// "(number) " in front for a numbered body, at most ten characters.
std::string SmallBodyObjectName(const CometBahnTyp& el) {
  const std::string name = TrimBlanks(el.name);
  return Utf8Left(el.number > 0 ? "(" + std::to_string(el.number) + ") " + name : name, kMaxPlanetNameChars);
}

// "&Durchsuchen": Qt's own file dialog, so that it behaves alike on every
// desktop. It shows the folders and the Guide program files in them; a
// program file chosen stands for its folder, and a folder can be chosen
// directly (a data folder filled by download holds no program file).
class GuideFileDialog : public QFileDialog {
 public:
  GuideFileDialog(QWidget* parent, const QString& start)
      : QFileDialog(parent, QStringLiteral("Guide-Verzeichnis"), start) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly, false);
    setNameFilter(QStringLiteral("Guide Programmdatei (Guide*.exe)"));
    setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("Verzeichnis:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    setLabelText(QFileDialog::Accept, QStringLiteral("Auswählen"));
    setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
  }
  QString Chosen() const { return chosen_; }

  // A double click (or Enter) on a program file ends here too.
  void accept() override {
    const QStringList picked = selectedFiles();
    if (!picked.isEmpty() && QFileInfo(picked.front()).isFile()) {
      chosen_ = picked.front();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
    if (result() == QDialog::Accepted && !picked.isEmpty()) chosen_ = picked.front();
  }

 private:
  QString chosen_;
};

}  // namespace

// The Host of the element-file reader: its error boxes go to the dialog's
// messages, its beep to the dialog's beep.
class TCometForm::DialogHost : public Host {
 public:
  explicit DialogHost(TCometForm& form) : form_(form) {}
  void AddLine(const std::string&) override {}
  std::size_t LineCount() const override { return 0; }
  void ProcessMessages() override {}
  MsgResult MessageBox(MsgKind kind, const std::string& caption, const std::string& text, MsgResult goOn) override {
    form_.Message(kind, Q(caption), Q(text));
    return kind == MsgKind::Confirmation ? goOn : MsgResult::Ok;
  }
  bool InputBox(const std::string&, const std::string&, std::string&) override { return false; }
  void Beep() override { form_.Beep(); }
  void EnableStop(bool) override {}
  void Progress(const std::string& text) override { form_.SetStatus(Q(text)); }

 private:
  TCometForm& form_;
};

// ---------------------------------------------------------------- creation

TCometForm::TCometForm(TSettings& settings, SettingsFile& file, BodyChosen onChosen, std::shared_ptr<HttpGet> http,
                       QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TCometForm>()),
      settings_(settings),
      file_(file),
      onChosen_(std::move(onChosen)),
      http_(http ? std::move(http) : std::shared_ptr<HttpGet>(MakeCurlHttpGet())),
      host_(std::make_unique<DialogHost>(*this)) {
  ui_->setupUi(this);
  setWindowTitle(QString::fromUtf8(kCaption));
  showMessage = [this](MsgKind kind, const QString& caption, const QString& text) {
    const QMessageBox::Icon icon = kind == MsgKind::Error         ? QMessageBox::Critical
                                   : kind == MsgKind::Warning     ? QMessageBox::Warning
                                   : kind == MsgKind::Information ? QMessageBox::Information
                                                                  : QMessageBox::Question;
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
  };
  beep = [] { QApplication::beep(); };
  askGuidePath = [this] {
    GuideFileDialog dialog(this, QString::fromStdString(GuideDir()));
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : QString();
  };

  const QFontMetrics metrics(ui_->ListBox1->font());
  ui_->ListBox1->setMinimumSize(metrics.averageCharWidth() * kListColumns, metrics.lineSpacing() * kListLines);
  ui_->GuideDirEdit->setMinimumWidth(ui_->GuideDirEdit->fontMetrics().averageCharWidth() * kFolderColumns);
  // A long status text (a request's address) wraps instead of widening the
  // dialog.
  ui_->Label3->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ui_->Label3->setMinimumHeight(2 * ui_->Label3->fontMetrics().lineSpacing());

  sources_ = ReadElementSourceSettings(file_.Document());
  ui_->GuideDirEdit->setText(Q(sources_.GuideDir));
  ui_->CometsDatChk->setChecked(sources_.SearchComets);
  ui_->CometGDatChk->setChecked(sources_.SearchCometG);
  ui_->AsteroidChk->setChecked(sources_.SearchAsteroids);

  connect(ui_->SuchEdit, &QLineEdit::textChanged, this, &TCometForm::Search);
  for (QCheckBox* box : {ui_->CometsDatChk, ui_->CometGDatChk, ui_->AsteroidChk}) {
    connect(box, &QCheckBox::clicked, this, &TCometForm::Search);
  }
  connect(ui_->ListBox1, &QListWidget::itemClicked, this, &TCometForm::Choose);
  connect(ui_->SearchJPLBtn, &QPushButton::clicked, this, &TCometForm::DatabaseClick);
  connect(ui_->UpdateBtn, &QPushButton::clicked, this, &TCometForm::UpdateClick);
  connect(ui_->GuideDirBtn, &QPushButton::clicked, this, &TCometForm::GuideDirClick);
  connect(ui_->ShowElementsBtn, &QPushButton::clicked, this, &TCometForm::ShowElementsClick);
  connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->GuideDirEdit, &QLineEdit::editingFinished, this, [this] {
    ui_->GuideDirEdit->setText(Q(GuideDir()));
    missingNameList_.clear();
    HintAtMissingLists();
  });
  ui_->SuchEdit->installEventFilter(this);
  ui_->ListBox1->installEventFilter(this);
}

TCometForm::~TCometForm() {
  // The worker uses the request and the client: it ends before they go.
  if (request_) {
    request_->cancel = true;
    if (request_->worker.joinable()) request_->worker.join();
  }
}

std::string TCometForm::GuideDir() const {
  std::string dir = TrimBlanks(ui_->GuideDirEdit->text().toStdString());
  if (dir.empty()) return DefaultGuideDir();
  if (dir.back() != '/') dir += '/';
  return dir;
}

ElementSourceSettings TCometForm::CurrentSources() const {
  ElementSourceSettings s = sources_;
  s.GuideDir = GuideDir();
  s.SearchComets = ui_->CometsDatChk->isChecked();
  s.SearchCometG = ui_->CometGDatChk->isChecked();
  s.SearchAsteroids = ui_->AsteroidChk->isChecked();
  return s;
}

void TCometForm::StoreSources() {
  sources_ = CurrentSources();
  WriteElementSourceSettings(file_, sources_);
}

void TCometForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  missingNameList_.clear();
  if (!Busy()) HintAtMissingLists();
  ui_->SuchEdit->setFocus();
}

void TCometForm::done(int result) {
  if (request_) request_->cancel = true;  // its end is taken over by RequestDone
  StoreSources();
  QDialog::done(result);
}

void TCometForm::HintAtMissingLists() {
  const std::string dir = GuideDir();
  std::error_code error;
  if (std::filesystem::is_regular_file(CometsDatPath(dir), error)) {
    SetStatus(QString());
    return;
  }
  SetStatus(QStringLiteral("Keine Comets.dat in ") + Q(dir) +
            QStringLiteral(" – „Update Comets.dat“ lädt die Kometenliste aus dem Internet."));
}

void TCometForm::SetStatus(const QString& text) {
  ui_->Label3->setText(text);
  ui_->Label3->setToolTip(text);
}

void TCometForm::Message(MsgKind kind, const QString& caption, const QString& text) {
  if (showMessage) showMessage(kind, caption, text);
}

void TCometForm::Beep() {
  if (beep) beep();
}

// ---------------------------------------------------------------- search

void TCometForm::Search() {
  const QString text = ui_->SuchEdit->text();
  const bool digit = text.size() == 1 && text.front().isDigit() && text.front().unicode() < 128;
  if (text.size() <= 1 && !digit) return;
  const std::string upper = text.toUpper().toStdString();
  ui_->ListBox1->clear();
  ui_->ListBox2->clear();

  const std::string dir = GuideDir();
  std::vector<ElementHit> hits;
  if (text.size() > 1) {
    const auto add = [&hits](std::vector<ElementHit> found) {
      hits.insert(hits.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    };
    if (ui_->CometsDatChk->isChecked()) add(SearchCometFile(CometsDatPath(dir), upper));
    if (ui_->CometGDatChk->isChecked()) add(SearchCometFile(CometGDatPath(dir), upper));
  }
  if (ui_->AsteroidChk->isChecked()) {
    const std::string path = NameListPath(dir);
    if (!SearchNameList(path, text.toStdString(), hits) && missingNameList_ != path) {
      // Said once per showing: a box at every key would make typing
      // impossible.
      missingNameList_ = path;
      ShowResults(hits);
      Message(MsgKind::Error, QStringLiteral("Fehler!"),
              QStringLiteral("Datei ") + Q(path) + QStringLiteral(" nicht gefunden."));
      return;
    }
  }
  ShowResults(hits);
}

void TCometForm::ShowResults(const std::vector<ElementHit>& hits) {
  ui_->ListBox1->clear();
  ui_->ListBox2->clear();
  for (const ElementHit& hit : hits) {
    ui_->ListBox1->addItem(Q(hit.shown));
    auto* key = new QListWidgetItem(Q(hit.key));
    key->setData(kKeyRole, QByteArray::fromStdString(hit.key));
    ui_->ListBox2->addItem(key);
  }
}

// ---------------------------------------------------------------- choosing

void TCometForm::Choose() {
  const int row = ui_->ListBox1->currentRow();
  const QListWidgetItem* item = row >= 0 ? ui_->ListBox2->item(row) : nullptr;
  const std::string key = item != nullptr ? item->data(kKeyRole).toByteArray().toStdString() : std::string();
  if (key.size() < 2) {
    Beep();
    return;
  }
  switch (key[0]) {
    case 'C': {
      const std::string line = key.substr(2);
      if (const std::string why = CometLineProblem(line); !why.empty()) {
        // A line cut off or damaged would give an orbit of zeros; the
        // former body stays.
        Message(MsgKind::Error, QStringLiteral("Fehler!"),
                QStringLiteral("Die Zeile \"") + Q(TrimBlanks(line)) +
                    QStringLiteral("\" der Kometenliste ist unvollständig oder beschädigt: ") + Q(why) +
                    QStringLiteral(". Es bleibt bei der bisherigen Wahl."));
        return;
      }
      CometBahnTyp el = settings_.CurrentElements;
      ParseCometLine(line, el);
      Finish(el);
      return;
    }
    case 'A':
      ChooseAsteroid(key);
      return;
    case 'J': {
      const ElementSourceSettings s = CurrentSources();
      const std::string url = key.substr(2);
      StartRequest(
          [s, url](HttpGet& http, const std::atomic<bool>& cancel, const StatusText& status) {
            Outcome o;
            o.query = QueryDatabase(http, s, url, o.elements, o.candidates, status, &cancel);
            return o;
          },
          true, std::string());
      return;
    }
    default:
      Beep();
  }
}

void TCometForm::ChooseAsteroid(const std::string& key) {
  // "A " + the number (7 columns) + " " + the name-list line.
  std::size_t begin = 2;
  while (begin < key.size() && key[begin] == ' ') ++begin;
  std::size_t end = begin;
  while (end < key.size() && std::isdigit(static_cast<unsigned char>(key[end]))) ++end;
  if (end == begin || end - begin > 9) {
    Beep();
    return;
  }
  const int32_t number = static_cast<int32_t>(std::stol(key.substr(begin, end - begin)));
  const std::string line = end < key.size() ? key.substr(end + 1) : std::string();
  const std::string path = ChooseAsteroidFile(file_, GuideDir() + kAsteroidFolder, settings_.Startdat);
  CometBahnTyp el = settings_.CurrentElements;
  // A missing or damaged element file has said why; the former body stays.
  if (!ReadAsteroidRecord(number, path, line, el, *host_)) return;
  Finish(el);
}

void TCometForm::Finish(const CometBahnTyp& elements) {
  StoreSources();
  Search();
  settings_.CurrentElements = elements;
  settings_.Objekt = kSmallBody;
  settings_.PlanetNr = kSmallBody;
  settings_.PlanetName(kSmallBody) = SmallBodyObjectName(elements);
  if (onChosen_) onChosen_(TrimBlanks(elements.name));
  accept();
}

// ---------------------------------------------------------------- internet

void TCometForm::DatabaseClick() {
  if (Busy()) {
    Beep();
    return;
  }
  ui_->ListBox1->clear();
  ui_->ListBox2->clear();
  const std::string text = ui_->SuchEdit->text().toStdString();
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.empty()) return;
  const ElementSourceSettings s = CurrentSources();
  const std::string url = DatabaseQueryUrl(s, trimmed);
  StartRequest(
      [s, url](HttpGet& http, const std::atomic<bool>& cancel, const StatusText& status) {
        Outcome o;
        o.query = QueryDatabase(http, s, url, o.elements, o.candidates, status, &cancel);
        return o;
      },
      false, text);
}

void TCometForm::UpdateClick() {
  if (Busy()) {
    Beep();
    return;
  }
  const ElementSourceSettings s = CurrentSources();
  StartRequest(
      [s](HttpGet& http, const std::atomic<bool>& cancel, const StatusText& status) {
        Outcome o;
        o.download = true;
        o.downloaded = DownloadCometList(http, s, status, &cancel);
        return o;
      },
      false, std::string());
}

void TCometForm::StartRequest(std::function<Outcome(HttpGet&, const std::atomic<bool>&, const StatusText&)> work,
                              bool fromList, const std::string& searchText) {
  if (Busy()) {
    Beep();
    return;
  }
  request_ = std::make_unique<Request>();
  Request* r = request_.get();
  r->fromList = fromList;
  r->searchText = searchText;
  ui_->SearchJPLBtn->setEnabled(false);
  ui_->UpdateBtn->setEnabled(false);
  // The worker reaches the window only through queued calls; a call still
  // queued when the dialog goes is dropped with it.
  const StatusText status = [this, r](const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, r, t = Q(text)] {
          if (request_.get() == r && !r->cancel) SetStatus(t);
        },
        Qt::QueuedConnection);
  };
  r->worker = std::thread([this, r, http = http_, work = std::move(work), status] {
    Outcome outcome = work(*http, r->cancel, status);
    QMetaObject::invokeMethod(
        this, [this, r, o = std::move(outcome)]() mutable { RequestDone(r, std::move(o)); }, Qt::QueuedConnection);
  });
}

void TCometForm::RequestDone(Request* r, Outcome outcome) {
  if (request_.get() != r) return;
  if (r->worker.joinable()) r->worker.join();
  const bool cancelled = r->cancel;
  const bool fromList = r->fromList;
  const std::string searchText = r->searchText;
  request_.reset();
  ui_->SearchJPLBtn->setEnabled(true);
  ui_->UpdateBtn->setEnabled(true);
  emit RequestFinished();
  if (cancelled) return;

  if (outcome.download) {
    if (outcome.downloaded) Search();
    return;
  }
  switch (outcome.query) {
    case QueryOutcome::kElements:
      Finish(outcome.elements);
      return;
    case QueryOutcome::kCandidates:
      if (!outcome.candidates.empty()) {
        ShowResults(outcome.candidates);
        return;
      }
      break;
    case QueryOutcome::kNotFound:
    case QueryOutcome::kFailed:
      break;
  }
  if (fromList) {
    Beep();
  } else if (outcome.query != QueryOutcome::kFailed) {
    // A failed request has said why in the status line; "nicht gefunden"
    // would be wrong then.
    Message(MsgKind::Information, QString::fromUtf8(kCaption),
            QStringLiteral("Eintrag  ") + Q(searchText) + QStringLiteral(" ") + QStringLiteral(" nicht gefunden") +
                QStringLiteral("!"));
  }
}

// ---------------------------------------------------------------- the rest

void TCometForm::GuideDirClick() {
  const QString picked = askGuidePath ? askGuidePath() : QString();
  if (picked.isEmpty()) return;
  const QFileInfo info(picked);
  QString dir = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  ui_->GuideDirEdit->setText(dir);
  StoreSources();
  missingNameList_.clear();
  if (!Busy()) HintAtMissingLists();
}

void TCometForm::ShowElementsClick() {
  Message(MsgKind::Information, QString::fromUtf8(kCaption), Q(ElementText(settings_.CurrentElements, "\n")));
}

// ---------------------------------------------------------------- keys

bool TCometForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsEnter(key->key())) {
      keyPressEvent(key);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TCometForm::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(event->key())) {
    // Enter chooses the only result; with more it does nothing.
    if (ui_->ListBox1->count() == 1) {
      ui_->ListBox1->setCurrentRow(0);
      Choose();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);  // Escape closes
}

}  // namespace orb
