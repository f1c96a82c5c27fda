// SPDX-License-Identifier: AGPL-3.0-or-later
// The comet dialog driven through its widgets over a data folder of its own
// (comet lists, name list, an ".AST" element file) and a scripted internet:
// the search as the user types, choosing by click and Enter, the database
// query and its candidates, the download, closing during a request, the
// folder and the switches in the settings file, and a chosen comet's table
// in the main window.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "WindowInput.h"
#include "settings/ElementSources.h"
#include "settings/SettingsFile.h"
#include "support/TempDir.h"
#include "ui/CometForm.h"
#include "ui/MainForm.h"

namespace orb {
namespace {

using test::OnNextModal;

// A comet list line: the name in 43 columns, then perihelion day, month,
// year (the year in columns 55-61), M0, q, e, i, peri, node, equinox, H, slope.
std::string CometLine(const std::string& name, const std::string& rest) {
  return name + std::string(43 - name.size(), ' ') + rest;
}
// 2P/Encke with Meeus' elements (Astronomical Algorithms, example 33.b).
const std::string kEncke =
    CometLine("2P/Encke", " 28.54  10   1990 0.0 0.330763 0.850073 11.94524 186.23352 334.75006 2000 9.8 6.0");
const std::string kHalley =
    CometLine("1P/Halley", "  9.46   2   1986 0.0 0.587104 0.967277 162.23932 111.84644 58.14397 2000 5.5 8.0");
const std::string kSpacewatch =
    CometLine("C/1997 BA6 (Spacewatch)", " 28.00  11   1999 0.0 3.436 0.9988 72.7 285.8 317.7 2000 6.0 4.0");

// A name-list line: H and slope in columns 1-12, the name in 13-37.
std::string NameLine(const std::string& magnitudes, const std::string& name) {
  return magnitudes + name + std::string(25 - name.size(), ' ');
}

// An ".AST" file: epoch E, count, then per planet six little-endian
// unsigned 32-bit values (M0, axis code, e, node, peri, i in 1e-7 degree,
// the axis in 1e-8 AU, e in 1e-8).
std::string AstFile(uint32_t epoch, const std::vector<std::array<uint32_t, 6>>& records) {
  std::string bytes;
  const auto put = [&bytes](uint32_t v, int n) {
    for (int k = 0; k < n; ++k) bytes += static_cast<char>((v >> (8 * k)) & 0xFF);
  };
  put(epoch, 4);
  put(static_cast<uint32_t>(records.size()), 2);
  for (const auto& r : records)
    for (uint32_t v : r) put(v, 4);
  return bytes;
}

// The internet of the tests: each GET is answered by `answer`.
class FakeHttp : public HttpGet {
 public:
  std::function<HttpAnswer(const std::string& url, const std::atomic<bool>* cancel)> answer;
  std::atomic<bool> returnedCancelled{false};
  HttpAnswer Get(const std::string& url, const std::atomic<bool>* cancel) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      urls_.push_back(url);
    }
    HttpAnswer a = answer(url, cancel);
    if (a.kind == HttpAnswer::Kind::kCancelled) returnedCancelled = true;
    return a;
  }
  std::string LastUrl() {
    std::lock_guard<std::mutex> lock(mutex_);
    return urls_.empty() ? std::string() : urls_.back();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> urls_;
};

HttpAnswer Body(const std::string& body) {
  HttpAnswer a;
  a.kind = HttpAnswer::Kind::kBody;
  a.status = 200;
  a.body = body;
  return a;
}

// A GET that hangs until it is cancelled.
HttpAnswer UntilCancelled(const std::atomic<bool>* cancel) {
  while (cancel == nullptr || !cancel->load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  HttpAnswer a;
  a.kind = HttpAnswer::Kind::kCancelled;
  return a;
}

// The data folder with its lists and the dialog over it, shown.
struct Fixture {
  test::TempDir dir;
  TSettings settings;
  SettingsFile file;
  std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>();
  std::unique_ptr<TCometForm> form;
  std::vector<std::string> chosen;  // names handed to the main window
  std::vector<QString> messages;
  int beeps = 0;

  explicit Fixture(bool withAstFile = true) {
    dir.write("Comets.dat", kHalley + "\r\n" + kEncke + "\r\n");
    dir.write("asteroid/CometG.dat", kSpacewatch + "\n");
    dir.write("ASTEROID/ASTNAMES.DAT", NameLine("  3.34  0.12", "Ceres") + "\n" + NameLine("  4.13  0.11", "Pallas") +
                                           "\n" + NameLine("  5.33", "Juno") + "\n" +
                                           NameLine("  3.20  0.32", "Vesta") + "\n");
    // Startdat 2455956 (the default) reads the file of epoch 2455950;
    // planet 1: M0 10 deg, a 2.7653 AU, e 0.0789, node 80.3, peri 72.5, i 10.59 deg.
    if (withAstFile) {
      dir.write("ASTEROID/ASTEROID/2455/2455950.AST",
                AstFile(2455950, {{100000000u, 276530000u, 7890000u, 803000000u, 725000000u, 105900000u}}));
    }
    file = SettingsFile::Open(dir.file("ORBITELLO.INI"));
    file.WriteString("Komet", "GuideDir", dir.path().string() + "/");
    http->answer = [](const std::string&, const std::atomic<bool>*) { return Body(""); };
    form = std::make_unique<TCometForm>(
        settings, file, [this](const std::string& name) { chosen.push_back(name); }, http);
    form->showMessage = [this](MsgKind, const QString&, const QString& text) { messages.push_back(text); };
    form->beep = [this] { ++beeps; };
    test::ShowActive(form.get());
  }
  template <typename W>
  W* Get(const char* name) const {
    return test::Control<W>(form.get(), name);
  }
  QLineEdit* Such() const { return Get<QLineEdit>("SuchEdit"); }
  QListWidget* List() const { return Get<QListWidget>("ListBox1"); }
  QString Status() const { return Get<QLabel>("Label3")->text(); }
  void Type(const QString& text) const {
    Such()->clear();
    QTest::keyClicks(Such(), text);
  }
  QStringList Shown() const {
    QStringList rows;
    for (int r = 0; r < List()->count(); ++r) rows << List()->item(r)->text();
    return rows;
  }
  void ClickRow(int row) const {
    QListWidget* list = List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
};

// Clicks (or double-clicks) the entry `name` of a file dialog's list once
// the folder has been read.
void ClickEntry(QFileDialog* dialog, const QString& name, bool twice) {
  QAbstractItemView* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("treeView"));
  QModelIndex entry;
  QTRY_VERIFY_WITH_TIMEOUT(
      [&] {
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r) {
          const QModelIndex i = view->model()->index(r, 0, view->rootIndex());
          if (i.data().toString() == name) entry = i;
        }
        return entry.isValid();
      }(),
      5000);
  const QPoint at = view->visualRect(entry).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  if (twice) QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class CometFormTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The default data folder of a fresh installation lies in here.
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome_.path().string()));
  }

  // Showing puts the focus into the search field; the key list and the
  // elements button stay hidden.
  void Showing() {
    Fixture f;
    QTRY_VERIFY(f.Such()->hasFocus());
    QVERIFY(!f.Get<QListWidget>("ListBox2")->isVisible());
    QVERIFY(!f.Get<QPushButton>("ShowElementsBtn")->isVisible());
  }

  // Searching as the user types: one letter does nothing, one digit looks
  // up that number in the name list only (not the comets' "1P"); from two
  // characters on every comet name and minor-planet name is searched, and
  // each check box switches its source.
  void SearchAsYouType() {
    Fixture f;
    f.Type(QStringLiteral("ce"));
    const struct {
      QString text;
      const char* uncheck;
      QStringList shown;
    } cases[] = {
        {QStringLiteral("c"),
         nullptr,
         {QStringLiteral("C/1997 BA6 (Spacewatch)    (Perihel 1999)"),
          QStringLiteral("1 Ceres")}},  // unchanged from "ce"
        {QStringLiteral("1"), nullptr, {QStringLiteral("1 Ceres")}},
        {QStringLiteral("4"), nullptr, {QStringLiteral("4 Vesta")}},
        {QStringLiteral("9"), nullptr, {}},
        {QStringLiteral("p/"),
         nullptr,
         {QStringLiteral("1P/Halley    (Perihel 1986)"), QStringLiteral("2P/Encke    (Perihel 1990)")}},
        {QStringLiteral("ce"), "CometGDatChk", {QStringLiteral("1 Ceres")}},
        {QStringLiteral("ce"), "AsteroidChk", {}},
    };
    for (const auto& c : cases) {
      if (c.uncheck != nullptr) QTest::mouseClick(f.Get<QCheckBox>(c.uncheck), Qt::LeftButton);
      if (c.text.size() == 1) {
        // Typed over the previous text, as a user replaces it.
        f.Such()->selectAll();
        QTest::keyClicks(f.Such(), c.text);
      } else {
        f.Type(c.text);
      }
      QCOMPARE(f.Shown(), c.shown);
      QCOMPARE(f.Get<QListWidget>("ListBox2")->count(), f.List()->count());
    }
    QVERIFY(f.messages.empty());
  }

  // Enter chooses the only result, and does nothing with two; the chosen
  // comet becomes object 9 with its elements and short name.
  void EnterChoosesTheOnlyResult() {
    Fixture f;
    f.Type(QStringLiteral("p/"));
    QTest::keyClick(f.Such(), Qt::Key_Return);
    QVERIFY(f.form->isVisible() && f.chosen.empty());
    f.Type(QStringLiteral("encke"));
    QTest::keyClick(f.Such(), Qt::Key_Return);
    QVERIFY(!f.form->isVisible());
    QCOMPARE(f.chosen, std::vector<std::string>{"2P/Encke"});
    const CometBahnTyp& el = f.settings.CurrentElements;
    QCOMPARE(el.name, std::string("2P/Encke"));
    QVERIFY(std::fabs(el.q - 0.330763L) < 1e-9L && std::fabs(el.e - 0.850073L) < 1e-9L);
    QCOMPARE(f.settings.Objekt, 9);
    QCOMPARE(f.settings.PlanetNr, 9);
    QCOMPARE(f.settings.PlanetName(9), std::string("2P/Encke"));
  }

  // A minor planet from the name list: its record of the ".AST" file for
  // the start date, its number and name from the list line; without the
  // file the box says so and the former body stays.
  void MinorPlanetFromTheElementFile() {
    for (const bool withFile : {true, false}) {
      Fixture f(withFile);
      f.settings.CurrentElements.name = "2P/Encke";
      f.Type(QStringLiteral("1"));
      f.ClickRow(0);
      const CometBahnTyp& el = f.settings.CurrentElements;
      if (withFile) {
        QVERIFY(f.messages.empty());
        QCOMPARE(el.name, std::string("Ceres"));
        QCOMPARE(el.number, 1);
        QVERIFY(el.asteroid);
        QVERIFY(std::fabs(el.a - 2.7653L) < 1e-9L);  // axis code 276530000 of the record
        QCOMPARE(f.settings.PlanetName(9), std::string("(1) Ceres"));
        QVERIFY(!f.form->isVisible());
      } else {
        QCOMPARE(f.messages.size(), std::size_t{1});
        // The second candidate, epoch 200 floor((2455956 + 100.4) / 200) = 2456000.
        QVERIFY2(f.messages[0].endsWith(QStringLiteral("/2456/2456000.AST nicht gefunden.")),
                 qPrintable(f.messages[0]));
        QCOMPARE(el.name, std::string("2P/Encke"));
        QVERIFY(f.chosen.empty() && f.form->isVisible());
      }
    }
  }

  // The database button: a candidate page lists its entries with the count
  // in the status line, and a candidate is requested by its link; a page
  // without a match names the text in a message; a network failure only
  // sets the status line.
  void DatabaseQuery() {
    const std::string candidates =
        "<html><body><p>Please select from the list below</p>\n<table>\n"
        "<tr><td><a href=\"sbdb.cgi?sstr=2P\">2P/Encke</a></td></tr>\n"
        "<tr><td><a href=\"sbdb.cgi?sstr=1P\">1P/Halley</a></td></tr>\n</table></body></html>\n";
    const std::string noMatch = "<html><body><p>No Matching Record</p></body></html>\n";
    Fixture f;
    f.http->answer = [&](const std::string&, const std::atomic<bool>*) { return Body(candidates); };
    f.Type(QStringLiteral("xyz"));
    QTest::mouseClick(f.Get<QPushButton>("SearchJPLBtn"), Qt::LeftButton);
    QTRY_VERIFY(!f.form->Busy());
    QCOMPARE(f.Shown(), (QStringList{QStringLiteral("2P/Encke"), QStringLiteral("1P/Halley")}));
    QCOMPARE(f.Status(), QStringLiteral("2 Einträge gefunden"));
    QVERIFY(f.Get<QListWidget>("ListBox2")->item(0)->text().startsWith(QStringLiteral("J ")));

    f.http->answer = [&](const std::string&, const std::atomic<bool>*) { return Body(noMatch); };
    f.ClickRow(0);
    QTRY_VERIFY(!f.form->Busy());
    QVERIFY2(f.http->LastUrl().find("sbdb.cgi?sstr=2P") != std::string::npos, f.http->LastUrl().c_str());
    QCOMPARE(f.beeps, 1);
    QVERIFY(f.messages.empty() && f.form->isVisible());

    QTest::mouseClick(f.Get<QPushButton>("SearchJPLBtn"), Qt::LeftButton);
    QTRY_VERIFY(!f.form->Busy());
    QCOMPARE(f.Status(), QStringLiteral("Eintrag nicht gefunden!"));
    QCOMPARE(f.messages, std::vector<QString>{QStringLiteral("Eintrag  xyz  nicht gefunden!")});

    f.http->answer = [](const std::string&, const std::atomic<bool>*) {
      HttpAnswer a;
      a.error = "Connection refused";
      return a;
    };
    QTest::mouseClick(f.Get<QPushButton>("SearchJPLBtn"), Qt::LeftButton);
    QTRY_VERIFY(!f.form->Busy());
    QCOMPARE(f.Status(), QStringLiteral("Fehler: Connection refused"));
    QCOMPARE(f.messages.size(), std::size_t{1});
  }

  // "&Update Comets.dat" replaces the comet list; the search shows the new
  // list at once.
  void DownloadReplacesTheCometList() {
    Fixture f;
    f.Type(QStringLiteral("halley"));
    QCOMPARE(f.List()->count(), 1);
    f.http->answer = [](const std::string&, const std::atomic<bool>*) { return Body(kEncke + "\n"); };
    QTest::mouseClick(f.Get<QPushButton>("UpdateBtn"), Qt::LeftButton);
    QTRY_VERIFY(!f.form->Busy());
    QCOMPARE(f.Status(), QStringLiteral("Update OK"));
    QCOMPARE(f.List()->count(), 0);
    QVERIFY(f.http->LastUrl().find("/iau/Ephemerides/Comets/Soft02Cmt.txt") != std::string::npos);
  }

  // Closing the dialog, or destroying it, while an answer is awaited
  // cancels the request; the window goes on working and nothing of the
  // request remains.
  void ClosingCancelsARunningRequest() {
    for (const bool destroy : {false, true}) {
      Fixture f;
      f.http->answer = [](const std::string&, const std::atomic<bool>* cancel) { return UntilCancelled(cancel); };
      f.Type(QStringLiteral("encke"));
      QTest::mouseClick(f.Get<QPushButton>("SearchJPLBtn"), Qt::LeftButton);
      QVERIFY(f.form->Busy());
      QTest::qWait(30);
      if (destroy) {
        f.form.reset();
        QVERIFY(f.http->returnedCancelled);
      } else {
        QTest::keyClick(f.Such(), Qt::Key_Escape);
        QVERIFY(!f.form->isVisible());
        QTRY_VERIFY(f.http->returnedCancelled);
        QTRY_VERIFY(!f.form->Busy());
        QVERIFY(f.chosen.empty() && f.messages.empty());
      }
    }
  }

  // The folder and the switches in the settings file: a fresh installation
  // shows the default folder and says how to fill it; a folder chosen is
  // written at once; closing writes the switches.
  void FolderAndSwitchesInTheSettingsFile() {
    Fixture f;
    f.file.DeleteKey("Komet", "GuideDir");
    TCometForm fresh(f.settings, f.file, {}, f.http);
    fresh.show();
    QCOMPARE(fresh.findChild<QLineEdit*>(QStringLiteral("GuideDirEdit"))->text().toStdString(), DefaultGuideDir());
    QVERIFY2(fresh.findChild<QLabel*>(QStringLiteral("Label3"))->text().contains(QStringLiteral("Update Comets.dat")),
             qPrintable(fresh.findChild<QLabel*>(QStringLiteral("Label3"))->text()));
    fresh.close();

    // The file dialog: a double click on a Guide program file chooses its
    // folder; a folder selected and "Auswählen" chooses that folder.
    const std::string guide = f.dir.path().string() + "/guide/";
    f.dir.write("guide/Guide9.exe", "");
    f.dir.write("guide/daten/Comets.dat", kEncke + "\n");
    const struct {
      std::vector<QString> doubleClicks;
      QString selected;
      std::string folder;
    } picks[] = {{{QStringLiteral("guide"), QStringLiteral("Guide9.exe")}, {}, guide},
                 {{}, QStringLiteral("daten"), guide + "daten/"}};
    for (const auto& p : picks) {
      OnNextModal([&p](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog != nullptr);
        for (const QString& name : p.doubleClicks) ClickEntry(dialog, name, true);
        if (!p.selected.isEmpty()) {
          ClickEntry(dialog, p.selected, false);
          for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Auswählen")) b->click();
        }
      });
      QTest::mouseClick(f.Get<QPushButton>("GuideDirBtn"), Qt::LeftButton);
      QCOMPARE(f.Get<QLineEdit>("GuideDirEdit")->text().toStdString(), p.folder);
      QCOMPARE(f.file.ReadString("Komet", "GuideDir", ""), p.folder);
    }
    f.Type(QStringLiteral("encke"));
    QCOMPARE(f.List()->count(), 1);  // the lists of the folder chosen
    QTest::mouseClick(f.Get<QCheckBox>("CometGDatChk"), Qt::LeftButton);
    f.form->close();
    QVERIFY(!f.file.ReadFlag("Komet", "Suchen_CometG", true));
    QVERIFY(f.file.ReadFlag("Komet", "Suchen_Comets", false));
    QVERIFY(f.file.ReadFlag("AsteroidFiles", "Suchen_In", false));
  }

  // From the main window: the menu item opens the dialog; the comet chosen
  // there is computed at once and the new-object hint names it.
  void ChosenCometComputedInTheMainWindow() {
    test::TempDir data;
    data.write("Comets.dat", kHalley + "\n" + kEncke + "\n");
    const std::string ini = data.write(
        "ORBITELLO.INI", "[Astronomieprogramm Einstellungen]\nTabelle=0\n[Komet]\nGuideDir=" + data.path().string() +
                             "/\n[AsteroidFiles]\nSuchen_In=0\n");
    TForm1 window(SettingsFile::Open(ini));
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    QApplication::processEvents();
    OnNextModal([](QWidget* dialog) {
      QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("SuchEdit")), QStringLiteral("encke"));
      QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("SuchEdit")), Qt::Key_Return);
    });
    window.findChild<QAction*>(QStringLiteral("NeuerKomet1"))->trigger();
    window.WaitForRun();
    QVERIFY2(window.Memo()->toPlainText().contains(QStringLiteral("\nKomet 2P/Encke\n")),
             qPrintable(window.Memo()->toPlainText()));
    QCOMPARE(window.Settings().Objekt, 9);
    QCOMPARE(window.findChild<QAction*>(QStringLiteral("NewPlanet"))->toolTip(),
             QStringLiteral("Neuen Planeten auswählen, aktuell gewählt: 2P/Encke"));
  }

 private:
  test::TempDir dataHome_;
};

}  // namespace orb

QTEST_MAIN(orb::CometFormTest)
#include "CometFormTest.moc"
