// SPDX-License-Identifier: AGPL-3.0-or-later
#include "settings/ElementSources.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

#include "core/Constants.h"
#include "core/NumKernel.h"
#include "core/NumText.h"
#include "core/SafeFile.h"
#include "settings/NumberReader.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLoad.h"

namespace orb {

namespace {

// Far beyond any element list or name list (the name list of all numbered
// minor planets is about 30 MB).
constexpr std::size_t kMaxListBytes = 256u << 20;

constexpr const char* kCometListPath = "/iau/Ephemerides/Comets/Soft02Cmt.txt";
constexpr const char* kNoElements = "Fehler: die Antwort enthält keine Bahndaten";
constexpr const char* kNotFoundText = "Eintrag nicht gefunden!";
constexpr const char* kElementsOk = "Bahndaten OK";
constexpr const char* kCancelledText = "Download abgebrochen";

// ------------------------------------------------------------ text helpers

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }
bool StartsWith(const std::string& s, const char* part) { return s.rfind(part, 0) == 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The position `count` characters (UTF-8) after `pos`, at most the end.
std::size_t AdvanceCharacters(const std::string& s, std::size_t pos, int count) {
  for (int k = 0; k < count && pos < s.size(); ++k) {
    ++pos;
    while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
  }
  return pos;
}

// UTF-8 as it is, anything else read as Latin-1.
std::string AsUtf8(const std::string& s) { return IsValidUtf8(s) ? s : Latin1ToUtf8(s); }

// The lines of a text as a text editor shows them: CR, LF and CR LF end a
// line, empty lines count, a line break at the end starts no further line.
std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The path as found on disk (case-insensitive lookup), or as written.
std::string AsFound(const std::string& path) {
  const std::string found = ResolvePathCaseInsensitive(path);
  return found.empty() ? path : found;
}

// `path` with the extension of its file name replaced by `ext` (".bak").
std::string WithExtension(const std::string& path, const std::string& ext) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameStart) return path + ext;
  return path.substr(0, dot) + ext;
}

// A whole number within the 32-bit range, or nothing.
std::optional<int32_t> WholeNumber(Extended x) {
  if (!std::isfinite(x) || x < -2147483648.0L || x > 2147483647.0L) return std::nullopt;
  return static_cast<int32_t>(std::floor(x));
}

// A magnitude or diameter as the record's single precision; a number
// beyond its range (which the conversion could not represent) reads as 0.
float AsFloat(Extended x) {
  return std::isfinite(x) && std::fabs(x) <= std::numeric_limits<float>::max() ? static_cast<float>(x) : 0.0f;
}

// ------------------------------------------------------------ HTML text

// The Latin-1 entity names of the codes 161 to 255, in code order.
constexpr const char* kLatin1Entities[] = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",   "laquo",
    "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",
    "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute",
    "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",
    "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute",
    "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash",
    "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};
static_assert(std::size(kLatin1Entities) == 255 - 161 + 1);

// The character an entity name stands for, as UTF-8.
std::string EntityText(const std::string& name) {
  if (name == "quot") return "\"";
  if (name == "amp") return "&";
  if (name == "shy") return "*";
  for (std::size_t k = 0; k < std::size(kLatin1Entities); ++k)
    if (name == kLatin1Entities[k]) return Latin1ToUtf8(std::string(1, static_cast<char>(161 + k)));
  return " ";
}

// Entities of at most eight characters from "&" to ";" replaced.
std::string ReplaceEntities(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      const std::size_t semi = s.find(';', i + 1);
      if (semi != std::string::npos && semi - i + 1 <= 8) {
        out += EntityText(s.substr(i + 1, semi - i - 1));
        i = semi;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// Everything from "<" to the next ">" dropped (to the end when none follows).
std::string DropTags(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '<') {
      out += s[i];
      continue;
    }
    const std::size_t close = s.find('>', i + 1);
    if (close == std::string::npos) break;
    i = close;
  }
  return out;
}

// The link of a candidate, made absolute against the URL of the page.
std::string ResolveLink(const std::string& base, const std::string& link) {
  const std::size_t scheme = base.find("://");
  const std::size_t pathStart = scheme == std::string::npos ? std::string::npos : base.find('/', scheme + 3);
  const std::string origin = pathStart == std::string::npos ? base : base.substr(0, pathStart);
  const std::size_t linkScheme = link.find("://");
  if (linkScheme != std::string::npos && link.find_first_of("/?#") > linkScheme) return link;
  if (StartsWith(link, "//")) return (scheme == std::string::npos ? "https:" : base.substr(0, scheme + 1)) + link;
  if (StartsWith(link, "/")) return origin + link;
  if (pathStart == std::string::npos) return origin + "/" + link;
  const std::string path = base.substr(0, base.find_first_of("?#", pathStart));
  return path.substr(0, path.rfind('/') + 1) + link;
}

std::string DecodeAmpersands(std::string link) {
  for (std::size_t at = link.find("&amp;"); at != std::string::npos; at = link.find("&amp;", at + 1))
    link.replace(at, 5, "&");
  return link;
}

// ------------------------------------------------------------ elements

// q of an ellipse from a and e, for an answer that gives no q.
void PerihelionFromAxis(CometBahnTyp& el) {
  if (el.a > 0 && el.e >= 0 && el.e < 1) el.q = el.a * (1 - el.e);
}

// Completes an element set read from an answer: a from q and e (as a stored
// set gets it back), the perihelion passage from M0 when the answer gave
// none. False when the set describes no orbit.
bool CompleteElements(CometBahnTyp& el) {
  if (!(el.q > 0) || !std::isfinite(el.q) || !(el.e >= 0) || !std::isfinite(el.e)) return false;
  for (Extended x : {el.i, el.AscN, el.PerL, el.M0, el.TM0, el.T0})
    if (!std::isfinite(x)) return false;
  el.a = el.e != 1 ? std::fabs(el.q / (1 - el.e)) : 0;
  if (el.T0 == 0 && el.e < 1 && el.TM0 != 0) el.T0 = el.TM0 - std::sqrt(el.a * el.a * el.a) * el.M0 / kGaussK;
  // Either the perihelion passage or the mean anomaly's epoch places the body.
  if ((el.T0 == 0 && el.TM0 == 0) || !std::isfinite(el.a) || !std::isfinite(el.T0)) return false;
  el.de = el.di = el.dAscN = el.dPerL = 0;
  return true;
}

// The number at the front of a minor planet's name ("1 Ceres" gives 1 and
// "Ceres"); a name that does not begin with a digit has none (0).
int32_t TakeLeadingNumber(std::string& name) {
  name = Trim(name);
  std::size_t k = 0;
  while (k < name.size() && k < 9 && IsDigit(name[k])) ++k;
  if (k == 0 || (k < name.size() && !IsBlank(name[k]))) return 0;
  const int32_t number = static_cast<int32_t>(std::strtol(name.substr(0, k).c_str(), nullptr, 10));
  name = Trim(name.substr(k));
  return number;
}

// The number of a line's text (0 when the line does not exist).
Extended NumberOfLine(const std::vector<std::string>& lines, std::size_t i) {
  return i < lines.size() ? ParseNumber(HtmlLineText(lines[i])) : 0;
}

// One line of the element table of the page, read by its beginning.
void ReadElementLine(const std::string& text, CometBahnTyp& el) {
  const Extended x = ParseNumber(text);
  if (StartsWith(text, "Orbital Elements at Epoch")) {
    el.TM0 = x;
    el.equinox = 2000;
  } else if (StartsWith(text, "e ")) {
    el.e = x;
  } else if (StartsWith(text, "a ")) {
    el.a = x;
  } else if (StartsWith(text, "q ")) {
    el.q = x;
  } else if (StartsWith(text, "M ")) {
    el.M0 = DegToRad(x);
  } else if (StartsWith(text, "i ")) {
    el.i = DegToRad(x);
  } else if (StartsWith(text, "peri ")) {
    el.PerL = DegToRad(x);
  } else if (StartsWith(text, "node ")) {
    el.AscN = DegToRad(x);
  } else if (StartsWith(text, "tp ")) {
    el.T0 = x;
  }
}

// ------------------------------------------------------------ JSON

using Json = nlohmann::json;

const Json* Member(const Json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::string TextOf(const Json* v) {
  if (v == nullptr) return {};
  if (v->is_string()) return v->get_ref<const std::string&>();
  if (v->is_number()) return v->dump();
  return {};
}

// A number given as a JSON string (".0755", "2.5E-8") or as a JSON number;
// nothing for null, an empty or malformed text or a value that is not finite.
std::optional<Extended> NumberOf(const Json* v) {
  if (v == nullptr) return std::nullopt;
  if (v->is_number()) {
    const double x = v->get<double>();
    return std::isfinite(x) ? std::optional<Extended>(x) : std::nullopt;
  }
  const std::string t = Trim(TextOf(v));
  std::size_t k = 0, digits = 0;
  if (k < t.size() && (t[k] == '-' || t[k] == '+')) ++k;
  for (; k < t.size() && IsDigit(t[k]); ++k) ++digits;
  if (k < t.size() && t[k] == '.')
    for (++k; k < t.size() && IsDigit(t[k]); ++k) ++digits;
  if (digits == 0) return std::nullopt;
  if (k < t.size() && (t[k] == 'e' || t[k] == 'E')) {
    std::size_t j = k + 1;
    if (j < t.size() && (t[j] == '-' || t[j] == '+')) ++j;
    if (j == t.size() || !IsDigit(t[j])) return std::nullopt;
    while (j < t.size() && IsDigit(t[j])) ++j;
    k = j;
  }
  if (k != t.size()) return std::nullopt;
  const Extended x = ParseNumber(t[0] == '+' ? t.substr(1) : t);
  return std::isfinite(x) ? std::optional<Extended>(x) : std::nullopt;
}

// The values of a list of {"name": ..., "value": ...} records by name.
std::optional<Extended> NamedValue(const Json* list, const char* name) {
  if (list == nullptr || !list->is_array()) return std::nullopt;
  for (const Json& item : *list)
    if (TextOf(Member(item, "name")) == name) return NumberOf(Member(item, "value"));
  return std::nullopt;
}

// The minor-planet number of a numbered body: its designation when that is
// a whole number, else from the SPK-ID (2000000 + n, or 20000000 + n).
int32_t MinorPlanetNumber(const Json& object) {
  const std::string des = Trim(TextOf(Member(object, "des")));
  if (!des.empty() && des.size() <= 9 && des.find_first_not_of("0123456789") == std::string::npos)
    return static_cast<int32_t>(std::strtol(des.c_str(), nullptr, 10));
  const std::optional<Extended> spk = NumberOf(Member(object, "spkid"));
  if (spk && *spk > 2000000 && *spk < 3000000) return static_cast<int32_t>(*spk - 2000000);
  if (spk && *spk > 20000000 && *spk < 30000000) return static_cast<int32_t>(*spk - 20000000);
  return 0;
}

QueryOutcome ReadJsonDocument(const Json& doc, const ElementSourceSettings& s, CometBahnTyp& el,
                              std::vector<ElementHit>& candidates, std::string& status) {
  if (!doc.is_object()) {
    status = kNoElements;
    return QueryOutcome::kFailed;
  }
  if (const Json* list = Member(doc, "list"); list != nullptr && list->is_array()) {
    for (const Json& item : *list) {
      const std::string pdes = Trim(TextOf(Member(item, "pdes")));
      if (pdes.empty()) continue;
      candidates.push_back({Trim(pdes + " " + TextOf(Member(item, "name"))), "J " + DatabaseQueryUrl(s, pdes)});
    }
    if (candidates.empty()) {
      status = kNotFoundText;
      return QueryOutcome::kNotFound;
    }
    status = std::to_string(candidates.size()) + " Einträge gefunden";
    return QueryOutcome::kCandidates;
  }
  const Json* object = Member(doc, "object");
  const Json* orbit = Member(doc, "orbit");
  if (object == nullptr || orbit == nullptr) {
    const std::string message = Trim(TextOf(Member(doc, "message")));
    if (Contains(message, "not found")) {
      status = kNotFoundText;
      return QueryOutcome::kNotFound;
    }
    status = message.empty() ? std::string(kNoElements) : "Fehler: " + message;
    return QueryOutcome::kFailed;
  }

  const std::string kind = TextOf(Member(*object, "kind"));
  const bool comet = kind.empty() ? !TextOf(Member(*object, "prefix")).empty() : kind[0] == 'c';
  el.asteroid = !comet;
  el.name = Trim(TextOf(Member(*object, "fullname")));
  el.number = 0;
  if (el.asteroid && kind != "au") {
    el.number = MinorPlanetNumber(*object);
    std::string rest = el.name;
    if (el.number > 0 && TakeLeadingNumber(rest) == el.number) el.name = rest;
  }
  if (el.name.empty()) el.name = Trim(TextOf(Member(*object, "des")));
  if (el.name.empty() && el.number > 0) el.name = "(" + std::to_string(el.number) + ")";

  const Json* elements = Member(*orbit, "elements");
  const auto element = [&](const char* name) { return NamedValue(elements, name).value_or(0); };
  el.e = element("e");
  el.a = element("a");
  el.q = element("q");
  if (!NamedValue(elements, "q")) PerihelionFromAxis(el);
  el.i = DegToRad(element("i"));
  el.AscN = DegToRad(element("om"));
  el.PerL = DegToRad(element("w"));
  el.M0 = DegToRad(element("ma"));
  el.T0 = element("tp");
  const std::optional<Extended> epoch = NumberOf(Member(*orbit, "epoch"));
  el.TM0 = epoch && NamedValue(elements, "ma") ? *epoch : 0;
  const std::string equinox = TextOf(Member(*orbit, "equinox"));
  el.equinox = equinox.empty() || !Contains(equinox, "1950") ? 2000.0f : 1950.0f;
  // The orientation and the shape are required; a null or malformed value
  // there is no orbit rather than a silent 0.
  bool complete = NamedValue(elements, "q") || NamedValue(elements, "a");
  for (const char* name : {"e", "i", "om", "w"}) complete = complete && NamedValue(elements, name);
  if (!complete || !CompleteElements(el)) {
    status = kNoElements;
    return QueryOutcome::kFailed;
  }

  const Json* phys = Member(doc, "phys_par");
  if (el.asteroid) {
    el.mag = AsFloat(NamedValue(phys, "H").value_or(0));
    el.dmag = AsFloat(NamedValue(phys, "G").value_or(0.15L));
  } else {
    // The database's comet law is M1 + 5 log D + K1 log r; the program's is
    // H + 5 log D + 2.5 K log r, so K = K1 / 2.5.
    el.mag = AsFloat(NamedValue(phys, "M1").value_or(0));
    el.dmag = AsFloat(NamedValue(phys, "K1").value_or(0) / 2.5L);
  }
  el.diameter = AsFloat(NamedValue(phys, "diameter").value_or(0));
  status = kElementsOk;
  return QueryOutcome::kElements;
}

// ------------------------------------------------------------ internet

// The status text of a failed GET; `httpPrefix` introduces an HTTP error.
std::string FailureText(const HttpAnswer& answer, const char* httpPrefix) {
  switch (answer.kind) {
    case HttpAnswer::Kind::kHttpError: return httpPrefix + answer.error;
    case HttpAnswer::Kind::kCancelled: return kCancelledText;
    case HttpAnswer::Kind::kNetworkError:
    case HttpAnswer::Kind::kBody: break;
  }
  return (answer.nameNotResolved ? "keine Internetverbindung? " : "Fehler: ") + answer.error;
}

bool IsJsonText(const std::string& text) {
  std::size_t k = StartsWith(text, "\xEF\xBB\xBF") ? 3 : 0;
  while (k < text.size() && IsBlank(text[k])) ++k;
  return k < text.size() && text[k] == '{';
}

std::string FileFailure(const std::string& path, const FileResult& r) {
  return "Fehler: Datei " + path + ": " + r.reason;
}

}  // namespace

// ---------------------------------------------------------------- settings

ElementSourceSettings ReadElementSourceSettings(const IniDocument& ini) {
  ElementSourceSettings s;
  s.GuideDir = ReadIniString(ini, kCometSection, "GuideDir", "");
  if (Trim(s.GuideDir).empty()) s.GuideDir = DefaultGuideDir();
  if (s.GuideDir.back() != '/') s.GuideDir += '/';
  s.SearchComets = ReadIniFlag(ini, kCometSection, "Suchen_Comets", true);
  s.SearchCometG = ReadIniFlag(ini, kCometSection, "Suchen_CometG", true);
  s.SearchAsteroids = ReadIniFlag(ini, kAsteroidFilesSection, "Suchen_In", true);
  const auto server = [&](const char* key, const std::string& def) {
    std::string url = Trim(ReadIniString(ini, kCometSection, key, ""));
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url.empty() ? def : url;
  };
  s.MpcServer = server("MPCServer", s.MpcServer);
  s.SbdbServer = server("SBDBServer", s.SbdbServer);
  return s;
}

void WriteElementSourceSettings(SettingsFile& file, const ElementSourceSettings& s) {
  file.WriteString(kCometSection, "GuideDir", s.GuideDir);
  file.WriteFlag(kCometSection, "Suchen_Comets", s.SearchComets);
  file.WriteFlag(kCometSection, "Suchen_CometG", s.SearchCometG);
  file.WriteFlag(kAsteroidFilesSection, "Suchen_In", s.SearchAsteroids);
}

std::string DefaultGuideDir() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return JoinPath(xdg, "orbitello32/");
  const char* home = std::getenv("HOME");
  const std::string base = home != nullptr && home[0] != '\0' ? home : ".";
  return JoinPath(base, ".local/share/orbitello32/");
}

std::string CometsDatPath(const std::string& guideDir) { return AsFound(JoinPath(guideDir, "Comets.dat")); }
std::string CometGDatPath(const std::string& guideDir) { return AsFound(JoinPath(guideDir, "asteroid/CometG.dat")); }
std::string NameListPath(const std::string& guideDir) { return AsFound(JoinPath(guideDir, "ASTEROID/ASTNAMES.DAT")); }

// ---------------------------------------------------------------- searching

std::vector<std::string> CometListLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 16) ++i;
    if (i == text.size()) break;
    const std::size_t start = i;
    while (i < text.size() && static_cast<unsigned char>(text[i]) > 15) ++i;
    lines.push_back(text.substr(start, i - start));
  }
  return lines;
}

std::vector<ElementHit> SearchCometFile(const std::string& path, const std::string& upperText) {
  std::vector<ElementHit> hits;
  std::string bytes;
  if (!ReadRegularFile(AsFound(path), bytes, kMaxListBytes).ok()) return hits;
  for (const std::string& raw : CometListLines(bytes)) {
    const std::string line = AsUtf8(raw);
    const std::string name = Trim(Utf8Left(line, 43));
    if (UpperCaseLatin1(name).find(upperText) == std::string::npos) continue;
    hits.push_back({name + "    (Perihel " + Trim(Utf8Mid(line, 55, 7)) + ")", "C " + line});
  }
  return hits;
}

bool SearchNameList(const std::string& path, const std::string& text, std::vector<ElementHit>& hits) {
  std::string bytes;
  if (!ReadRegularFile(AsFound(path), bytes, kMaxListBytes).ok()) return false;
  const std::vector<std::string> lines = TextLines(bytes);
  const auto add = [&](std::size_t n) {
    const std::string line = AsUtf8(lines[n - 1]);
    hits.push_back({std::to_string(n) + " " + Trim(Utf8Mid(line, 13, 25)),
                    "A " + IntStr(static_cast<long long>(n), 7) + " " + line});
  };
  const std::string upper = UpperCaseLatin1(text);
  const auto isLetter = [](char c) { return c >= 'A' && c <= 'Z'; };
  if (upper.size() < 2 || !isLetter(upper[0]) || !isLetter(upper[1])) {
    const std::optional<int32_t> n = WholeNumber(ParseNumber(text));
    if (n && *n >= 1 && static_cast<std::size_t>(*n) <= lines.size()) add(static_cast<std::size_t>(*n));
    return true;
  }
  for (std::size_t n = 1; n <= lines.size(); ++n)
    if (UpperCaseLatin1(Trim(Utf8Mid(AsUtf8(lines[n - 1]), 13, 25))).find(upper) != std::string::npos) add(n);
  return true;
}

// ---------------------------------------------------------------- internet

bool DownloadCometList(HttpGet& http, const ElementSourceSettings& s, const StatusText& status,
                       const std::atomic<bool>* cancel) {
  status("Start Download Datei ...");
  const HttpAnswer answer = http.Get(s.MpcServer + kCometListPath, cancel);
  if (answer.kind != HttpAnswer::Kind::kBody) {
    status(FailureText(answer, "HTTP-Fehler- "));
    return false;
  }
  status("DownloadOK");
  const std::vector<std::string> lines = TextLines(AsUtf8(answer.body));
  if (CometListLines(answer.body).empty()) {
    status("Fehler: die Antwort enthält keine Zeile");
    return false;
  }
  std::string list = std::to_string(lines.size()) + "\n";
  for (const std::string& line : lines) list += line + "\n";

  // The old list stays in place until its copy "Comets.bak" is complete;
  // then the new list replaces it in one step.
  const std::string target = CometsDatPath(s.GuideDir);
  if (const FileResult check = CheckReplaceable(target); !check.ok()) {
    status(FileFailure(target, check));
    return false;
  }
  std::string old;
  const FileResult read = ReadRegularFile(target, old, kMaxListBytes);
  if (read.ok()) {
    const std::string backup = WithExtension(target, ".bak");
    if (const FileResult saved = ReplaceFileContents(backup, old); !saved.ok()) {
      status(FileFailure(backup, saved));
      return false;
    }
  } else if (!IsMissingFile(read.error)) {
    status(FileFailure(target, read));
    return false;
  }
  if (const FileResult saved = ReplaceFileContents(target, list, {.createFolders = true}); !saved.ok()) {
    status(FileFailure(target, saved));
    return false;
  }
  status("Update OK");
  return true;
}

std::string DatabaseQueryUrl(const ElementSourceSettings& s, const std::string& searchText) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : Trim(searchText)) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(static_cast<char>(c)) || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return s.SbdbServer + "/sbdb.api?sstr=" + encoded + "&phys-par=1";
}

QueryOutcome QueryDatabase(HttpGet& http, const ElementSourceSettings& s, const std::string& url, CometBahnTyp& el,
                           std::vector<ElementHit>& candidates, const StatusText& status,
                           const std::atomic<bool>* cancel) {
  status("Download " + url);
  const HttpAnswer answer = http.Get(url, cancel);
  if (answer.kind != HttpAnswer::Kind::kBody) {
    status(FailureText(answer, "HTTP-Fehler: "));
    return QueryOutcome::kFailed;
  }
  status("DownloadOK");
  CometBahnTyp found;
  std::vector<ElementHit> listed;
  std::string text;
  const QueryOutcome outcome = IsJsonText(answer.body) ? ReadDatabaseJson(answer.body, s, found, listed, text)
                                                       : ScanDatabasePage(answer.body, url, found, listed, text);
  status(text);
  if (outcome == QueryOutcome::kElements) el = found;
  if (outcome == QueryOutcome::kCandidates) candidates = std::move(listed);
  return outcome;
}

std::string HtmlLineText(const std::string& line) {
  const std::string text = DropTags(ReplaceEntities(line));
  std::string out;
  for (const std::string& part : TextLines(text)) out += Trim(part);
  return Trim(out);
}

QueryOutcome ScanDatabasePage(const std::string& page, const std::string& baseUrl, CometBahnTyp& el,
                              std::vector<ElementHit>& candidates, std::string& status) {
  el = EmptyCometElements();
  candidates.clear();
  const std::vector<std::string> lines = TextLines(AsUtf8(page));
  bool sawElements = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (Contains(line, "<table bgcolor=\"#EEEEEE\"")) el.name = HtmlLineText(line);
    if (Contains(line, "Classification:")) {
      el.asteroid = !Contains(HtmlLineText(line), "Comet");
      el.number = el.asteroid ? TakeLeadingNumber(el.name) : 0;
    }
    if (Contains(line, "Orbital Elements at Epoch")) {
      sawElements = true;
      for (std::size_t j = i; j < lines.size() && j < i + 16; ++j) ReadElementLine(HtmlLineText(lines[j]), el);
    }
    if (el.asteroid) {
      if (Contains(line, "absolute magnitude")) el.mag = AsFloat(NumberOfLine(lines, i + 2));
      if (Contains(line, "magnitude slope")) el.dmag = AsFloat(NumberOfLine(lines, i + 2));
    } else if (Contains(line, "comet total magnitude slope")) {
      // K1 of the law M1 + 5 log D + K1 log r, as the program's 2.5 K.
      el.dmag = AsFloat(NumberOfLine(lines, i + 2) / 2.5L);
    } else if (Contains(line, "comet total magnitude")) {
      el.mag = AsFloat(NumberOfLine(lines, i + 2));
    }
    if (Contains(line, "diameter")) el.diameter = AsFloat(NumberOfLine(lines, i + 1));
    if (Contains(line, "No Matching Record")) {
      el = EmptyCometElements();
      status = kNotFoundText;
      return QueryOutcome::kNotFound;
    }
    if (Contains(line, "Please select from the list below")) {
      for (std::size_t j = i + 1; j < lines.size() && !Contains(lines[j], "</table>"); ++j) {
        const std::string& l = lines[j];
        const std::size_t a = l.find("<a href");
        if (a == std::string::npos) continue;
        // The target starts nine characters on (just after `<a href="`).
        const std::size_t start = AdvanceCharacters(l, a, 9);
        const std::size_t end = start <= l.size() ? l.find("\">", start) : std::string::npos;
        if (end == std::string::npos) continue;
        const std::size_t close = l.find("</a>", end + 2);
        const std::string shown = HtmlLineText(l.substr(end + 2, close == std::string::npos ? close : close - end - 2));
        const std::string link = ResolveLink(baseUrl, DecodeAmpersands(Trim(l.substr(start, end - start))));
        candidates.push_back({shown, "J " + link});
      }
      el = EmptyCometElements();
      if (candidates.empty()) {
        status = kNotFoundText;
        return QueryOutcome::kNotFound;
      }
      status = std::to_string(candidates.size()) + " Einträge gefunden";
      return QueryOutcome::kCandidates;
    }
  }
  if (el.q == 0) PerihelionFromAxis(el);
  if (!sawElements || !CompleteElements(el)) {
    el = EmptyCometElements();
    status = kNoElements;
    return QueryOutcome::kFailed;
  }
  if (el.number < 0) el.number = 0;  // a page without its classification line
  status = kElementsOk;
  return QueryOutcome::kElements;
}

QueryOutcome ReadDatabaseJson(const std::string& json, const ElementSourceSettings& s, CometBahnTyp& el,
                              std::vector<ElementHit>& candidates, std::string& status) {
  el = EmptyCometElements();
  candidates.clear();
  try {
    const Json doc = Json::parse(json, nullptr, /*allow_exceptions=*/false);
    const QueryOutcome outcome = ReadJsonDocument(doc, s, el, candidates, status);
    if (outcome != QueryOutcome::kElements) el = EmptyCometElements();
    if (outcome != QueryOutcome::kCandidates) candidates.clear();
    return outcome;
  } catch (...) {
    // Not expected (the parser and the accessors above do not throw); an
    // answer that cannot be read is a failed query, never a crash.
  }
  el = EmptyCometElements();
  candidates.clear();
  status = kNoElements;
  return QueryOutcome::kFailed;
}

}  // namespace orb
