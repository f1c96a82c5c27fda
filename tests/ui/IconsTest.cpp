// SPDX-License-Identifier: AGPL-3.0-or-later
// The tool bar's icons: each one the resource file lists is compiled into the
// program, draws without complaint from Qt's SVG renderer and stands out at 16
// and 32 pixels on a light and on a dark tool bar; no drawing in data/icons is
// left out of the resource file.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>

#include "ui/Icons.h"

namespace {

// data/icons of the source tree, found from this file's own path.
QString IconFolder() {
  return QFileInfo(QStringLiteral(__FILE__))
      .absoluteDir()
      .absoluteFilePath(QStringLiteral("../../data/icons"));
}

// The file names the resource file lists, in its order.
QStringList QrcFiles() {
  QFile qrc(IconFolder() + QStringLiteral("/icons.qrc"));
  if (!qrc.open(QIODevice::ReadOnly)) return {};
  QStringList files;
  QXmlStreamReader xml(&qrc);
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
      files << xml.readElementText();
  }
  return xml.hasError() ? QStringList() : files;
}

double Luminance(QRgb c) {
  return (0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c)) / 255.0;
}

// Whether a pixel reads against the background: its brightness differs by
// more than a quarter of the way from black to white, or its colour by more
// than a third of it (a saturated red or blue reads on dark grey though its
// brightness is close).
bool StandsOut(QRgb pixel, QRgb background) {
  if (std::abs(Luminance(pixel) - Luminance(background)) > 0.25) return true;
  const double dr = qRed(pixel) - qRed(background);
  const double dg = qGreen(pixel) - qGreen(background);
  const double db = qBlue(pixel) - qBlue(background);
  return std::sqrt(dr * dr + dg * dg + db * db) / (255.0 * std::sqrt(3.0)) > 1.0 / 3.0;
}

// The first element of the drawing `file` that Qt's renderer would skip
// without a word (filters, masks, text, images, references to other files),
// or an empty string: the icons keep to shapes and linear gradients.
QString FirstSkippedElement(const QString& file) {
  static const QSet<QString> kDrawn = {
      QStringLiteral("svg"),     QStringLiteral("defs"),           QStringLiteral("g"),
      QStringLiteral("path"),    QStringLiteral("rect"),           QStringLiteral("circle"),
      QStringLiteral("ellipse"), QStringLiteral("line"),           QStringLiteral("polyline"),
      QStringLiteral("polygon"), QStringLiteral("linearGradient"), QStringLiteral("stop")};
  QFile svg(file);
  if (!svg.open(QIODevice::ReadOnly)) return QStringLiteral("(unreadable)");
  QXmlStreamReader xml(&svg);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (!kDrawn.contains(xml.name().toString())) return xml.name().toString();
    for (const QXmlStreamAttribute& attribute : xml.attributes())
      if (attribute.name() == QLatin1String("href"))
        return xml.name().toString() + QStringLiteral(" href");
  }
  return xml.hasError() ? xml.errorString() : QString();
}

// Messages of Qt's SVG module ("qt.svg"), caught while an icon is drawn.
QStringList g_svgMessages;
QtMessageHandler g_previousHandler = nullptr;

void CatchSvgMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (context.category && QByteArray(context.category).startsWith("qt.svg"))
    g_svgMessages << text;
  else if (g_previousHandler)
    g_previousHandler(type, context, text);
}

}  // namespace

class IconsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyDrawingIsInTheResourceFile() {
    const QStringList listed = QrcFiles();
    QVERIFY2(!listed.isEmpty(), qPrintable(IconFolder() + "/icons.qrc lists no file"));
    const QStringList drawn =
        QDir(IconFolder()).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    const QSet<QString> listedSet(listed.begin(), listed.end());
    for (const QString& file : drawn)
      QVERIFY2(listedSet.contains(file), qPrintable(file + " is missing from icons.qrc"));
    QCOMPARE(listed.size(), listedSet.size());  // none listed twice
  }

  void standsOutOnLightAndDark_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<QColor>("background");
    const QStringList files = QrcFiles();
    QVERIFY(!files.isEmpty());
    for (const QString& file : files) {
      const QString name = QFileInfo(file).completeBaseName();
      for (int size : {16, 32}) {
        QTest::addRow("%s %d light", qPrintable(name), size)
            << name << size << QColor(0xf0, 0xf0, 0xf0);
        QTest::addRow("%s %d dark", qPrintable(name), size)
            << name << size << QColor(0x30, 0x30, 0x30);
      }
    }
  }

  void standsOutOnLightAndDark() {
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(QColor, background);

    // The drawing itself: on the 32 × 32 grid, and nothing in it that Qt's
    // renderer skips or cannot read.
    g_svgMessages.clear();
    g_previousHandler = qInstallMessageHandler(CatchSvgMessages);
    const QIcon icon = orb::ToolIcon(name);
    const QPixmap pixmap = icon.pixmap(size, size);
    QSvgRenderer renderer(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    qInstallMessageHandler(g_previousHandler);
    QVERIFY2(renderer.isValid(), "not in the program's resources or not readable");
    QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 32, 32));
    const QString skipped =
        FirstSkippedElement(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    QVERIFY2(skipped.isEmpty(), qPrintable(skipped));
    QVERIFY2(g_svgMessages.isEmpty(), qPrintable(g_svgMessages.join(QStringLiteral("; "))));
    QVERIFY(!icon.isNull());
    QCOMPARE(pixmap.size(), QSize(size, size));

    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(background);
    {
      QPainter painter(&image);
      painter.drawPixmap(0, 0, pixmap);
    }
    const QImage alpha = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int covered = 0;   // pixels the icon paints at least half opaque
    int standing = 0;  // pixels that read against the background
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        if (qAlpha(alpha.pixel(x, y)) >= 128) ++covered;
        if (StandsOut(image.pixel(x, y), background.rgb())) ++standing;
      }
    }
    const int area = size * size;
    // A symbol fills a good part of its square, not a speck in a corner ...
    QVERIFY2(covered >= area * 30 / 100,
             qPrintable(QStringLiteral("covers %1 of %2 pixels").arg(covered).arg(area)));
    // ... and a good part of it, outline, halo or fill, reads against the
    // tool bar: a drawing of pale shapes vanishes on a light one, one of dark
    // thin lines on a dark one.
    QVERIFY2(standing >= area * 15 / 100,
             qPrintable(QStringLiteral("%1 of %2 pixels stand out").arg(standing).arg(area)));
  }
};

QTEST_MAIN(IconsTest)
#include "IconsTest.moc"
