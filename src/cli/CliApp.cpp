// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliApp.h"


#include <functional>
#include <map>
#include <ostream>

#include "cli/CliHost.h"
#include "cli/CliPictures.h"
#include "cli/CliSettings.h"
#include "core/Version.h"
#include "core/KernelReport.h"
#include "core/NumKernel.h"
#include "core/TimeScales.h"
#include "eclipses/EclipseCommand.h"
#include "eclipses/EclipsePlaces.h"
#include "eclipses/LocalEclipse.h"
#include "eclipses/LunarEclipse.h"
#include "eclipses/MoonPhases.h"
#include "eclipses/PathExport.h"
#include "eclipses/PathReport.h"
#include "engine/CometOrbit.h"
#include "core/NumText.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLoad.h"
#include "tables/ArbitraryPoint.h"
#include "tables/TableDriver.h"
#include "tables/TableFormat.h"

namespace orb::cli {
namespace {

// What a command of the batch program works with.
struct CommandContext {
  const CliOptions& options;
  const TSettings& settings;
  TRunContext& run;
  const IniDocument& settingsFile;
  Host& host;
};

// A command computes with the loaded settings and returns the exit code.
using Command = std::function<int(CommandContext&)>;

int TableCommand(CommandContext& c) {
  const TableResult result = ComputeTable(c.settings, c.run, c.host);
  return result.rowsWithPlace > 0 ? kExitOk : kExitFailure;
}

int ElementsCommand(CommandContext& c) {
  const CometBahnTyp& el = c.settings.CurrentElements;
  if (el.name.empty()) {
    c.host.MessageBox(MsgKind::Information, "Bahnelemente",
                      "Es ist kein Komet und kein Kleinplanet eingestellt (Abschnitt \"Komet\" der "
                      "Einstellungsdatei).");
    return kExitFailure;
  }
  const std::string text = ElementText(el, "\n");
  std::size_t begin = 0;
  for (std::size_t end = text.find('\n'); ; end = text.find('\n', begin)) {
    c.host.AddLine(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  return kExitOk;
}

int PhasesCommand(CommandContext& c) { return ListMoonPhases(c.settings, c.run, c.host) > 0 ? kExitOk : kExitFailure; }

// Writes the picture of the last reported eclipse when --picture asks for it.
int FinishPicture(CommandContext& c, const PictureCollector& pictures) {
  if (!c.options.picture) return kExitOk;
  if (!pictures.Last()) {
    c.host.MessageBox(MsgKind::Information, "Bild", "Kein Bild erstellt, daher wurde keine Datei gespeichert.");
    return kExitFailure;
  }
  const std::string error = WritePicture(*pictures.Last(), *c.options.picture);
  if (!error.empty()) {
    c.host.MessageBox(MsgKind::Error, "Fehler", error);
    return kExitFailure;
  }
  return kExitOk;
}

int LunarEclipsesCommand(CommandContext& c) {
  const bool picture = c.options.picture.has_value();
  PictureCollector pictures(c.settings);
  LunarEclipseSearch search;
  ListLunarEclipses(c.settings, c.run, c.host, search, picture, &pictures);
  return FinishPicture(c, pictures);
}

int SolarEclipsesCommand(CommandContext& c) {
  const bool picture = c.options.picture.has_value();
  PictureCollector pictures(c.settings);
  const double minCoverage = c.options.minCoverage_percent.value_or(0) / 100;
  LocalEclipseReport report(minCoverage, &pictures);
  const SolarSearchResult result = SolarEclipseCommand(c.settings, c.run, c.host, report, false, picture, minCoverage);
  if (result.beyondEphemeris && result.printed == 0) return kExitFailure;
  return FinishPicture(c, pictures);
}

// Writes the path of each eclipse reported when --export asks for it: the
// file named, or with Tabelle (several eclipses) one numbered file per
// eclipse in the order of the report.
int FinishExport(CommandContext& c, const PathExportCollector& collector) {
  if (!c.options.exportPath) return kExitOk;
  const auto& eclipses = collector.Eclipses();
  if (eclipses.empty()) {
    c.host.MessageBox(MsgKind::Information, "Export",
                      "Keine Sonnenfinsternis berechnet, daher wurde keine Datei gespeichert.");
    return kExitFailure;
  }
  int status = kExitOk;
  for (std::size_t i = 0; i < eclipses.size(); ++i) {
    const std::string path = c.settings.Tabelle ? NumberedExportPath(*c.options.exportPath, static_cast<int>(i) + 1)
                                                : *c.options.exportPath;
    std::string error;
    if (!ExportEclipsePath(eclipses[i].context, eclipses[i].title, eclipses[i].saros, path, error)) {
      c.host.MessageBox(MsgKind::Error, "Fehler", error);
      status = kExitFailure;
    }
    if (!c.settings.Tabelle) break;
  }
  return status;
}

int EclipsePathCommand(CommandContext& c) {
  const bool picture = c.options.picture.has_value();
  PictureCollector pictures(c.settings);
  PathReport report(&pictures);
  PathExportCollector collector(report);
  const SolarSearchResult result = SolarEclipseCommand(c.settings, c.run, c.host, collector, true, picture, 0);
  if (result.beyondEphemeris && result.printed == 0) return kExitFailure;
  const int pictureStatus = FinishPicture(c, pictures);
  const int exportStatus = FinishExport(c, collector);
  return pictureStatus != kExitOk ? pictureStatus : exportStatus;
}

// The places of the location list inside the central path. Success also
// when no place lies inside (a line says so); failure when the list cannot
// be read or the search leaves the ephemeris before any eclipse.
int EclipsePlacesCommand(CommandContext& c) {
  const EclipsePlacesResult result = ListEclipsePlaces(c.settings, c.run, c.host);
  if (!result.listRead) return kExitFailure;
  if (result.search.beyondEphemeris && result.search.printed == 0) return kExitFailure;
  return kExitOk;
}

int YearbookCommand(CommandContext& c) {
  const TableResult result = YearBookRun(c.settings, c.run, c.host, c.settingsFile);
  if (result.rows == 0) {
    c.host.MessageBox(MsgKind::Information, "Jahrbuch",
                      "Im Jahrbuch ist kein Objekt ausgewählt (Schlüssel ObjDarstell der Abschnitte "
                      "\"Jahrbucheinstellungen ...\" der Einstellungsdatei).");
  }
  return result.rowsWithPlace > 0 ? kExitOk : kExitFailure;
}

// --set Objekt=9 (or PlanetNr=9) asks for the comet or minor planet of the
// section "Komet"; without one the start-up rule would quietly compute
// Mercury instead.
bool SmallBodyAvailable(const CliOptions& options, const TSettings& settings, Host& host) {
  bool asked = false;
  for (const auto& [key, value] : options.sets) {
    if ((key == "Objekt" || key == "PlanetNr") && TrimBlanks(value) == std::to_string(kSmallBody)) asked = true;
  }
  // The loaded set, not the key Name: a set without a usable orbit has
  // been reported and dropped, and Objekt 9 would otherwise fall back to
  // Mercury without a word.
  if (!asked || !settings.CurrentElements.name.empty()) return true;
  host.MessageBox(MsgKind::Error, "Fehler!",
                  "Objekt 9 ist der eingestellte Komet oder Kleinplanet, aber der Abschnitt [Komet] der "
                  "Einstellungsdatei enthält keinen brauchbaren (Schlüssel Name und die Bahnelemente).");
  return false;
}

// The coordinate dialog's results for the place and start instant of the
// settings: its three result captions without their access keys, one line
// each. A coordinate (or --equinox) without a number is the dialog's
// message.
int ConvertCommand(CommandContext& c) {
  const CliOptions& o = c.options;
  ArbitraryInput input;
  input.frame = o.frame == "ecl" ? InputFrame::Ecliptic : o.frame == "hor" ? InputFrame::Horizontal
                                                                         : InputFrame::Equatorial;
  input.first = o.first.value_or("");
  input.second = o.second.value_or("");
  if (o.equinox) input.equinoxYear = *o.equinox;
  input.equinoxOfDate = o.equinoxOfDate;
  const std::optional<ArbitraryPoint> point = ConvertArbitraryPoint(input, c.settings.Ort, c.settings.Startdat);
  if (!point) {
    c.host.MessageBox(MsgKind::Information, kArbitraryCaption, kInvalidCoordinatesText);
    return kExitFailure;
  }
  const ArbitraryCaptions captions = ResultCaptions(*point, AngleStyleOf(c.settings));
  for (const std::string* line : {&captions.equatorial, &captions.ecliptic, &captions.horizontal}) {
    c.host.AddLine(WithoutAccessKeys(*line));
  }
  return kExitOk;
}

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"table", TableCommand},
      {"yearbook", YearbookCommand},
      {"elements", ElementsCommand},
      {"phases", PhasesCommand},
      {"lunar-eclipses", LunarEclipsesCommand},
      {"solar-eclipses", SolarEclipsesCommand},
      {"eclipse-path", EclipsePathCommand},
      {"eclipse-places", EclipsePlacesCommand},
      {"convert", ConvertCommand},
  };
  return commands;
}

}  // namespace

bool LoadSettingsDocument(const CliOptions& options, IniDocument& ini, std::ostream& err) {
  SettingsFile file;
  if (options.iniPath) {
    if (ResolvePathCaseInsensitive(*options.iniPath).empty()) {
      err << "Fehler!: Datei " << *options.iniPath << " nicht gefunden\n";
      return false;
    }
    file = SettingsFile::Open(*options.iniPath);
  } else if (!options.noIni) {
    file = OpenSettingsFile();
  }
  // A settings file that is there but cannot be read (a folder, a FIFO, a
  // device, no permission, UTF-16) is no run with the defaults.
  if (!file.ReadErrorText().empty()) {
    err << "Fehler!: " << file.ReadErrorText() << "\n";
    return false;
  }
  ini = file.Document();
  for (const auto& [key, value] : options.sets) ini.Set(kMainSection, key, value);
  return true;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CliParse parse = ParseCommandLine(args);
  if (parse.help) {
    out << UsageText();
    return kExitOk;
  }
  if (parse.version) {
    out << "orbitello32-cli " << ProgramVersion() << "\n";
    return kExitOk;
  }
  if (!parse.error.empty()) {
    err << "orbitello32-cli: " << parse.error << "\n\n" << UsageText();
    return kExitUsage;
  }
  const CliOptions& options = parse.options;
  const auto command = Commands().find(options.command);
  if (command == Commands().end()) {
    err << "orbitello32-cli: Der Befehl \"" << options.command
        << "\" ist in dieser Version noch nicht enthalten.\n";
    return kExitFailure;
  }

  CliOptions resolved = options;
  if (const std::optional<std::string> error = CheckSets(resolved.sets)) {
    err << "orbitello32-cli: " << *error << "\n\n" << UsageText();
    return kExitUsage;
  }
  IniDocument ini;
  if (!LoadSettingsDocument(resolved, ini, err)) return kExitFailure;
  if (const std::optional<Extended> start = StartDateFromCalendar(resolved.sets, ini)) {
    ini.Set(kMainSection, "Startdat", FormatSettingsReal(*start, kRoundTripDecimals));
  }
  TSettings settings;
  std::vector<SettingsProblem> problems;
  LoadSettings(ini, settings, CurrentJD(), &problems);

  CliHost host(out, err, options.answerYes);
  KernelHostScope kernelScope(host);
  for (const SettingsProblem& p : problems) host.MessageBox(MsgKind::Warning, "Einstellungen", p.text);
  if (!SmallBodyAvailable(resolved, settings, host)) return kExitFailure;
  TRunContext run(settings);
  host.OnOutputFailure([&run] { run.RequestStop(); });
  CommandContext context{options, settings, run, ini, host};
  const int status = command->second(context);
  if (!host.FinishOutput()) return kExitFailure;
  return status;
}

}  // namespace orb::cli
