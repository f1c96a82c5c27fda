// SPDX-License-Identifier: AGPL-3.0-or-later
// The place dialog driven through its widgets: typing into the search
// field, the list keys, choosing a line, the editor's search and saving
// the edited list (also when the file cannot be written).
#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/stat.h>

#include "core/DataFiles.h"
#include "WindowInput.h"
#include "support/TempDir.h"
#include "ui/OrtForm.h"

namespace orb {
namespace {

using test::OnNextModal;
using test::Type;
using test::WorkingDirectory;

// The list file of the tests: "Name, Land" in 33 columns, then the place.
const std::string kList =
    "Zwickau, D                       50.72 N  12.50 E MEZ\n"
    "Berlin, D                        52.52 N  13.40 E MEZ\n"
    "New York, USA                    40.71 N  74.01 W EST\n"
    "Mezzano, I                       46.15 N  11.91 E 1\n"
    "Aachen, D                        50.78 N   6.08 E mez\n"
    "Kalkutta, IND                    22.57 N  88.36 E 5.5\n";

// Answers the next message box with "OK" and returns its text in `text`.
void AnswerNextBox(QString* text) {
  OnNextModal([text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    *text = box->text();
    for (QAbstractButton* b : box->buttons())
      if (b->text() == QLatin1String("OK")) b->click();
  });
}


// The dialog over a list file in a folder of its own, shown and active.
struct Fixture {
  test::TempDir dir;
  TSettings settings;
  std::unique_ptr<TOrtForm> form;
  int beeps = 0;
  explicit Fixture(const std::string& list = kList) {
    settings.OrtsDatName = dir.write("orte.dat", list);
    form = std::make_unique<TOrtForm>(settings);
    form->beep = [this] { ++beeps; };
    Show();
  }
  void Show() const { test::ShowActive(form.get()); }
  template <typename W>
  W* Get(const char* name) const {
    return test::Control<W>(form.get(), name);
  }
  QLineEdit* Such() const { return Get<QLineEdit>("SuchEdit"); }
  QListWidget* List() const { return Get<QListWidget>("ListBox1"); }
  QPlainTextEdit* Editor() const { return Get<QPlainTextEdit>("OrtEdit"); }
  void Click(const char* button) const { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }
  QStringList Lines() const {
    QStringList lines;
    for (int i = 0; i < List()->count(); ++i) lines << List()->item(i)->text().left(14).trimmed();
    return lines;
  }
  void Key(Qt::Key key) const { QTest::keyClick(QApplication::focusWidget(), key); }
};

}  // namespace

class OrtFormTest : public QObject {
  Q_OBJECT

 private slots:
  // Every showing starts in list mode with an empty search and list, the
  // focus in the search field.
  void shownInListMode() {
    Fixture f;
    QTest::keyClicks(f.Such(), QStringLiteral("Berl"));
    f.Click("Editieren");
    f.Editor()->setFocus();
    f.form->hide();
    f.Show();
    QVERIFY(!f.form->EditMode() && f.Such()->text().isEmpty() && f.List()->count() == 0);
    QVERIFY(!f.Editor()->isVisible() && !f.Get<QPushButton>("OK")->isVisible() && f.List()->isVisible());
    QCOMPARE(f.form->focusWidget(), f.Such());
    QVERIFY(f.List()->font().fixedPitch());
    // The dialog fits on a 1366 x 768 screen.
    QVERIFY(f.form->width() <= 1366 && f.form->height() <= 700);
  }

  // Three characters do not search; the fourth does, and each further one
  // searches again.
  void searchAsYouType() {
    Fixture f;
    QTest::keyClicks(f.Such(), QStringLiteral("Ber"));
    QCOMPARE(f.List()->count(), 0);
    QTest::keyClick(f.Such(), Qt::Key_L);
    QCOMPARE(f.Lines(), QStringList{"Berlin, D"});
    QTest::keyClick(f.Such(), Qt::Key_X);
    QCOMPARE(f.List()->count(), 0);
  }

  // "mez" is three characters: only "&Suchen" searches; every line with
  // MEZ in any case is listed, name or zone, in alphabetical order.
  void searchButtonFindsMezAnywhere() {
    Fixture f;
    QTest::keyClicks(f.Such(), QStringLiteral("mez"));
    QCOMPARE(f.List()->count(), 0);
    f.Click("Suchen");
    QCOMPARE(f.Lines(), (QStringList{"Aachen, D", "Berlin, D", "Mezzano, I", "Zwickau, D"}));
  }

  void choosing_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("tdt");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("breite");
    QTest::addColumn<double>("laenge");
    QTest::addColumn<float>("basis");
    QTest::addColumn<float>("zone");
    QTest::newRow("Enter, one line") << "Mezzano" << false << false << "Mezzano" << 46.15 << 11.91 << 1.0f << 1.0f;
    QTest::newRow("click") << "Kalkutta" << true << false << "Kalkutta" << 22.57 << 88.36 << 5.5f << 5.5f;
    // With TDT the effective zone is 0; the list's zone becomes the base zone.
    QTest::newRow("TDT") << "York" << false << true << "New York" << 40.71 << -74.01 << -5.0f << 0.0f;
  }
  void choosing() {
    QFETCH(QString, search);
    QFETCH(bool, click);
    QFETCH(bool, tdt);
    QFETCH(QString, name);
    QFETCH(double, breite);
    QFETCH(double, laenge);
    QFETCH(float, basis);
    QFETCH(float, zone);
    Fixture f;
    f.settings.TDT = tdt;
    QTest::keyClicks(f.Such(), search);
    QCOMPARE(f.List()->count(), 1);
    if (click) {
      QTest::mouseClick(f.List()->viewport(), Qt::LeftButton, {}, f.List()->visualItemRect(f.List()->item(0)).center());
    } else {
      QTest::keyClick(f.Such(), Qt::Key_Return);
    }
    QCOMPARE(f.form->result(), int(QDialog::Accepted));
    QVERIFY(f.form->PlaceChosen() && !f.form->isVisible());
    QCOMPARE(QString::fromStdString(f.settings.Ort.Name), name);
    QCOMPARE(double(f.settings.Ort.Breite), breite);
    QCOMPARE(double(f.settings.Ort.Laenge), laenge);
    QCOMPARE(f.settings.BasisZeitzone, basis);
    QCOMPARE(f.settings.Zeitzone, zone);
  }

  // The last line of a list cut off before its longitude: choosing it gives a
  // warning with the reason, the place stays and the dialog stays open.
  void cutOffLineKeepsThePlace() {
    Fixture f(kList + "Schnittheim, D                   49.00 N");
    const TSettings before = f.settings;
    QTest::keyClicks(f.Such(), QStringLiteral("Schnitt"));
    QCOMPARE(f.List()->count(), 1);
    QString message;
    AnswerNextBox(&message);
    QTest::mouseClick(f.List()->viewport(), Qt::LeftButton, {}, f.List()->visualItemRect(f.List()->item(0)).center());
    QCOMPARE(message, QStringLiteral("Die Zeile \"Schnittheim, D                   49.00 N\" der Ortsdatei ") +
                          QString::fromStdString(f.settings.OrtsDatName) +
                          QStringLiteral(" ist unvollständig oder beschädigt: die Länge fehlt. Der "
                                         "Beobachtungsort bleibt unverändert."));
    QVERIFY(f.form->isVisible() && !f.form->PlaceChosen());
    QCOMPARE(f.settings.Ort.Name, before.Ort.Name);
    QCOMPARE(f.settings.BasisZeitzone, before.BasisZeitzone);
  }

  // The shipped list (data/ORTE.DAT, found in the data directory): a user
  // types the beginning of a name, picks the line of the place and gets its
  // standard zone (IANA zones of the places: Europe/Berlin, Europe/Zurich
  // +1, Australia/Sydney +10, Asia/Kathmandu +5:45, America/St_Johns -3:30).
  void shippedList_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<float>("zone");
    QTest::addColumn<double>("breite");
    QTest::newRow("München") << QStringLiteral("Münch") << QStringLiteral("München, Deutschland")
                             << QStringLiteral("München") << 1.0f << 48.14;
    QTest::newRow("Zürich") << QStringLiteral("Zürich") << QStringLiteral("Zürich, Schweiz") << QStringLiteral("Zürich")
                            << 1.0f << 47.37;
    QTest::newRow("Sydney") << "Sydney" << "Sydney, Australien" << "Sydney" << 10.0f << -33.87;
    QTest::newRow("Kathmandu") << "Kathmandu" << "Kathmandu, Nepal" << "Kathmandu" << 5.75f << 27.70;
    QTest::newRow("St. John's") << "John's" << "St. John's, Kanada" << "St. John's" << -3.5f << 47.56;
  }
  void shippedList() {
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(float, zone);
    QFETCH(double, breite);
    Fixture f;
    f.settings.OrtsDatName = "ORTE.DAT";
    Type(f.Such(), typed);
    QList<QListWidgetItem*> found = f.List()->findItems(line, Qt::MatchStartsWith);
    QCOMPARE(found.size(), 1);
    QTest::keyClick(f.Such(), Qt::Key_Down);
    f.List()->setCurrentItem(found.front());
    QTest::keyClick(f.List(), Qt::Key_Return);
    QVERIFY(f.form->PlaceChosen());
    QCOMPARE(QString::fromStdString(f.settings.Ort.Name), name);
    QCOMPARE(f.settings.Zeitzone, zone);
    QCOMPARE(double(f.settings.Ort.Breite), breite);
  }

  // Enter without a selected line (several lines, or none) beeps and stays.
  void enterWithoutChoiceBeeps_data() {
    QTest::addColumn<QString>("search");
    QTest::newRow("several lines") << "MEZ";
    QTest::newRow("no line") << "Paris";
  }
  void enterWithoutChoiceBeeps() {
    QFETCH(QString, search);
    Fixture f;
    QTest::keyClicks(f.Such(), search);
    f.Click("Suchen");
    QTest::keyClick(f.Such(), Qt::Key_Return);
    QCOMPARE(f.beeps, 1);
    QVERIFY(f.form->isVisible() && !f.form->PlaceChosen());
    const TSettings defaults;
    QCOMPARE(f.settings.Ort.Name, defaults.Ort.Name);
  }

  // Down from the search field selects the first line; Down and Up move in
  // the list; Up on the first line goes back to the search field.
  void downAndUp() {
    Fixture f;
    QTest::keyClicks(f.Such(), QStringLiteral("mez"));
    f.Key(Qt::Key_Down);  // empty list: stays
    QCOMPARE(QApplication::focusWidget(), f.Such());
    f.Click("Suchen");
    f.Such()->setFocus();
    const struct {
      Qt::Key key;
      int row;  // -1: back in the search field
    } steps[] = {{Qt::Key_Down, 0}, {Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 3},
                 {Qt::Key_Down, 3}, {Qt::Key_Up, 2},   {Qt::Key_Up, 1},   {Qt::Key_Up, 0},
                 {Qt::Key_Up, -1}};
    for (const auto& step : steps) {
      f.Key(step.key);
      if (step.row < 0) {
        QCOMPARE(QApplication::focusWidget(), f.Such());
      } else {
        QCOMPARE(QApplication::focusWidget(), f.List());
        QCOMPARE(f.List()->row(f.List()->selectedItems().value(0)), step.row);
      }
    }
  }

  // Edit mode: "&Suchen" selects the next occurrence after SearchCaret, the
  // editor's selection start when it lost the focus.
  void editorSearch_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("caret");     // where the user put the caret
    QTest::addColumn<int>("selected");  // occurrence selected, -1: beep, selection kept
    const int berlin = int(kList.find("Berlin"));
    const int secondMez = int(kList.find("MEZ", kList.find("MEZ") + 1));
    QTest::newRow("from the start") << "berlin" << 0 << berlin;
    QTest::newRow("next after the caret") << "mez" << int(kList.find("MEZ")) << secondMez;
    QTest::newRow("only before the caret") << "berlin" << berlin + 1 << -1;
    QTest::newRow("nowhere") << "Paris" << 0 << -1;
  }
  void editorSearch() {
    QFETCH(QString, search);
    QFETCH(int, caret);
    QFETCH(int, selected);
    Fixture f;
    f.Click("Editieren");
    QVERIFY(f.form->EditMode() && f.Editor()->isVisible() && !f.List()->isVisible());
    QCOMPARE(f.Editor()->toPlainText().toStdString(), kList);
    QTest::keyClicks(f.Such(), search);
    QCOMPARE(f.form->SearchCaret(), 0);
    f.Editor()->setFocus();
    QTextCursor cursor = f.Editor()->textCursor();
    cursor.setPosition(caret);
    cursor.setPosition(caret + 2, QTextCursor::KeepAnchor);
    f.Editor()->setTextCursor(cursor);
    f.Click("Suchen");  // the editor loses the focus
    QCOMPARE(f.form->SearchCaret(), caret);
    const QTextCursor after = f.Editor()->textCursor();
    if (selected < 0) {
      QCOMPARE(f.beeps, 1);
      QCOMPARE(after.selectionStart(), caret);
      QCOMPARE(after.selectionEnd(), caret + 2);
    } else {
      QCOMPARE(f.beeps, 0);
      QCOMPARE(after.selectionStart(), selected);
      QCOMPARE(after.selectedText().toUpper(), search.toUpper());
      QCOMPARE(QApplication::focusWidget(), f.Editor());
    }
  }

  // "OK" saves the editor's text, returns to list mode and searches again.
  void saveEditedList() {
    Fixture f;
    QTest::keyClicks(f.Such(), QStringLiteral("Neuort"));
    QCOMPARE(f.List()->count(), 0);
    f.Click("Editieren");
    const std::string added = "Neuort, D                        50.00 N  10.00 E MEZ\n";
    f.Editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.Editor(), QString::fromStdString(added).chopped(1));
    QTest::keyClick(f.Editor(), Qt::Key_Return);
    f.Click("OK");
    QCOMPARE(test::TempDir::read(f.settings.OrtsDatName), kList + added);
    QVERIFY(!f.form->EditMode() && f.List()->isVisible() && !f.Editor()->isVisible());
    QCOMPARE(f.Lines(), QStringList{"Neuort, D"});
    QCOMPARE(QApplication::focusWidget(), f.Such());
  }

  // "&Abbruch" leaves edit mode without saving, then closes the dialog.
  void abbruch() {
    Fixture f;
    f.Click("Editieren");
    f.Editor()->setPlainText(QStringLiteral("verworfen"));
    f.Click("Abbruch");
    QVERIFY(!f.form->EditMode() && f.form->isVisible());
    QCOMPARE(test::TempDir::read(f.settings.OrtsDatName), kList);
    f.Click("Abbruch");
    QVERIFY(!f.form->isVisible() && !f.form->PlaceChosen());
    QCOMPARE(f.form->result(), int(QDialog::Rejected));
  }

  // A list that cannot be written or read: the message with the reason;
  // the edited text and the file stay as they were.
  void fileProblems_data() {
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("editMode");
    QTest::newRow("write-protected") << "protected" << "schreibgeschützt" << true;
    QTest::newRow("became a folder while editing") << "folder later" << "Ist ein Verzeichnis" << true;
    // Editing a list that cannot be read would replace it by what was typed.
    QTest::newRow("a folder") << "folder" << "kann nicht gelesen werden" << false;
  }
  void fileProblems() {
    QFETCH(QString, problem);
    QFETCH(QString, reason);
    QFETCH(bool, editMode);
    Fixture f;
    const std::string path = f.settings.OrtsDatName;
    const auto makeFolder = [&] {
      std::filesystem::remove(path);
      std::filesystem::create_directory(path);
    };
    if (problem == QLatin1String("protected")) QCOMPARE(chmod(path.c_str(), 0444), 0);
    if (problem == QLatin1String("folder")) makeFolder();
    QString message;
    AnswerNextBox(&message);
    f.Click("Editieren");
    if (problem == QLatin1String("folder later")) makeFolder();
    if (editMode) {
      f.Editor()->setPlainText(QStringLiteral("neu"));
      f.Click("OK");
      QCOMPARE(f.Editor()->toPlainText(), QStringLiteral("neu"));
    }
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(f.form->EditMode(), editMode);
    if (problem == QLatin1String("protected")) QCOMPARE(test::TempDir::read(path), kList);
    else QVERIFY(std::filesystem::is_empty(path));
  }

  // The shipped list of the data directory may be read-only: the edited
  // list goes to the name as given, here the working directory.
  void shippedListSavedUnderTheGivenName() {
    Fixture f;
    const QString shipped = QString::fromStdString(FindDataFile("geo.dat"));
    const QDateTime modified = QFileInfo(shipped).lastModified();
    const WorkingDirectory cwd(f.dir.path());
    f.settings.OrtsDatName = "geo.dat";  // the data directory holds one
    f.Click("Editieren");
    QVERIFY(f.Editor()->toPlainText().startsWith(QStringLiteral("-16.169 180.000\n")));
    f.Click("OK");
    QVERIFY(!f.form->EditMode());
    QCOMPARE(QFileInfo(QStringLiteral("geo.dat")).size(), QFileInfo(shipped).size());
    QCOMPARE(QFileInfo(shipped).lastModified(), modified);
  }
};

}  // namespace orb

QTEST_MAIN(orb::OrtFormTest)
#include "OrtFormTest.moc"
