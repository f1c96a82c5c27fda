// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// Reading back the PDF files that Qt's PDF writer makes in the window
// tests: the content streams of its pages.

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QtEndian>

namespace orb::test {

// The content stream of PDF object `number` (Qt writes it Flate-compressed),
// as Latin-1 text; empty when the object or its stream is missing.
inline QString PdfObjectStream(const QByteArray& pdf, const QString& number) {
  const qsizetype object = pdf.indexOf("\n" + number.toLatin1() + " 0 obj");
  if (object < 0) return {};
  const qsizetype start = pdf.indexOf("stream\n", object) + 7;
  const qsizetype end = pdf.indexOf("endstream", start);
  if (start < 7 || end < 0) return {};
  // qUncompress wants the size first; it grows its buffer when the guess is short.
  QByteArray packed(4, '\0');
  qToBigEndian<quint32>(static_cast<quint32>(16 * (end - start)), packed.data());
  packed += pdf.mid(start, end - start);
  return QString::fromLatin1(qUncompress(packed));
}

// The content streams of every page, in the order of the pages.
inline QStringList PdfPageStreams(const QByteArray& pdf) {
  const QRegularExpression pageObject(QStringLiteral(R"(/Type /Page\n(?:[^\n]*\n)*?/Contents (\d+) 0 R)"));
  QStringList pages;
  for (auto page = pageObject.globalMatch(QString::fromLatin1(pdf)); page.hasNext();) {
    pages << PdfObjectStream(pdf, page.next().captured(1));
  }
  return pages;
}

}  // namespace orb::test
