# SPDX-License-Identifier: AGPL-3.0-or-later
# The batch program with a damaged settings file given by --ini. Variables:
# CLI, DIR (a folder for the files).
#  - A file of other data (control characters): exit status 1, the German
#    reason on standard error, no table, and the file stays byte for byte.
#  - A file cut off in its last line, with a number key holding text and an
#    element set without an orbit: each is said on standard error, the
#    table is computed with the defaults for them (exit status 0), and
#    Objekt 9 then is refused (exit status 1) instead of computing Mercury.
file(MAKE_DIRECTORY "${DIR}")
string(ASCII 1 2 27 control)
set(binary "${DIR}/binary.ini")
file(WRITE "${binary}" "[Astronomieprogramm Einstellungen]\nOrt.Name=Bild${control}\n")
file(SHA256 "${binary}" before)
execute_process(COMMAND "${CLI}" --ini "${binary}" table RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(SHA256 "${binary}" after)
if(NOT rc EQUAL 1 OR NOT out STREQUAL "" OR NOT before STREQUAL after OR NOT err MATCHES
   "^Fehler!: Einstellungsdatei [^\n]*binary.ini kann nicht gelesen werden: Die Datei enthält Steuerzeichen \\(Zeile 2\\); sie ist keine Textdatei oder beschädigt\\. Sie bleibt, wie sie ist, und wird nicht überschrieben\\.\n$")
  message(FATAL_ERROR "binary file: exit status ${rc}, changed: ${before} ${after}\nstdout: ${out}\nstderr: ${err}")
endif()

set(cut "${DIR}/cut.ini")
file(WRITE "${cut}" "[Astronomieprogramm Einstellungen]\nDeltaTab=zwei\nOrt.Name=Bochum\n[Komet]\nName=1P/Halley\nPerDat=2446470.9589\nPerDi")
execute_process(COMMAND "${CLI}" --ini "${cut}" table RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
foreach(expected
    "Einstellungen: Die Bahnelemente von 1P/Halley im Abschnitt \\[Komet\\] sind unbrauchbar: die Periheldistanz 0 AE ist unmöglich\\. Es ist kein Komet und kein Kleinplanet eingestellt\\."
    "Einstellungen: DeltaTab = zwei ist keine Zahl; es gilt der Wert 28\\."
    "Einstellungen: Die Einstellungsdatei endet mitten in der Zeile \"PerDi\"; sie ist wohl abgeschnitten\\.")
  if(NOT err MATCHES "${expected}")
    message(FATAL_ERROR "cut file: missing '${expected}'\nstderr: ${err}")
  endif()
endforeach()
if(NOT rc EQUAL 0 OR NOT out MATCHES "Bochum")
  message(FATAL_ERROR "cut file: exit status ${rc}\nstdout: ${out}")
endif()
execute_process(COMMAND "${CLI}" --ini "${cut}" --set Objekt=9 table RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "enthält keinen brauchbaren" OR out MATCHES "Merkur")
  message(FATAL_ERROR "cut file, Objekt 9: exit status ${rc}\nstdout: ${out}\nstderr: ${err}")
endif()
