// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/IniDocument.h"

#include <gtest/gtest.h>

namespace orb {
namespace {

TEST(IniDocument, ReadsSectionsAndKeysCaseInsensitively) {
  const IniDocument ini = IniDocument::Parse(
      "; Kommentar\r\n[Astronomieprogramm Einstellungen]\r\nOrt.Name = Berlin \r\nStartdat=2455956,5\r\n"
      "\r\n[Komet]\r\nName=\"  C/1995 O1 \"\r\n");
  EXPECT_EQ(ini.Get("astronomieprogramm einstellungen", "ORT.NAME").value_or("?"), "Berlin");
  EXPECT_EQ(ini.Get("Astronomieprogramm Einstellungen", "Startdat").value_or("?"), "2455956,5");
  // One pair of enclosing quotes keeps blanks.
  EXPECT_EQ(ini.Get("Komet", "Name").value_or("?"), "  C/1995 O1 ");
  EXPECT_FALSE(ini.Get("Komet", "Exz").has_value());
  EXPECT_FALSE(ini.Get("Fehlt", "Name").has_value());
  EXPECT_TRUE(ini.HasSection("KOMET"));
}

TEST(IniDocument, SetKeepsEverythingElse) {
  IniDocument ini = IniDocument::Parse("; oben\n[A]\nx=1\n; Mitte\ny=2\n\n[B]\nz=3\n");
  ini.Set("A", "Y", "20");
  ini.Set("A", "neu", "4");
  ini.Set("C", "w", " 5");
  ini.Remove("B", "z");
  EXPECT_EQ(ini.Serialize(), "; oben\n[A]\nx=1\n; Mitte\ny=20\nneu=4\n\n[B]\n[C]\nw=\" 5\"\n");
  // The quoted value reads back unchanged.
  EXPECT_EQ(IniDocument::Parse(ini.Serialize()).Get("C", "w").value_or("?"), " 5");
}

TEST(IniDocument, ValuesStayOneLine) {
  // A value with line breaks must not add a section or a key.
  IniDocument ini;
  ini.Set("A", "Ort", "x\n[Ini]\nIniFile=/tmp/andere.ini");
  const IniDocument back = IniDocument::Parse(ini.Serialize());
  EXPECT_FALSE(back.HasSection("Ini"));
  EXPECT_EQ(back.Get("A", "Ort").value_or("?"), "x [Ini] IniFile=/tmp/andere.ini");
}

TEST(IniDocument, Latin1LinesBecomeUtf8) {
  const IniDocument ini = IniDocument::Parse("[A]\nOrt=M\xfcnchen\nFluss=Isar \xc3\xa4\n");
  EXPECT_EQ(ini.Get("A", "Ort").value_or("?"), "München");
  EXPECT_EQ(ini.Get("A", "Fluss").value_or("?"), "Isar ä");
}

}  // namespace
}  // namespace orb
