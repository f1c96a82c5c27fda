// SPDX-License-Identifier: AGPL-3.0-or-later
#include "cli/CliPictures.h"

#include "core/DataFiles.h"
#include "eclipses/LocalEclipsePicture.h"
#include "eclipses/LunarEclipsePicture.h"
#include "eclipses/WorldMapPicture.h"
#include "graphics/qt/QtBitmaps.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <utility>

namespace orb::cli {
namespace {

// Fonts and images need an application object; the batch program makes one
// only when it writes a picture, on the offscreen platform unless the
// environment names another.
// Qt's own diagnostics (for example about XDG_RUNTIME_DIR) would mix with
// the program's messages on standard error; the batch program keeps them out.
void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtMessages);
  static int argc = 1;
  static char name[] = "orbitello32-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);
}

}  // namespace

void PictureCollector::ShowLunarEclipse(const Finsternistyp& eclipse, const std::vector<std::string>& reportLines) {
  last_ = LunarEclipsePictureSetup(eclipse, reportLines);
}

void PictureCollector::ShowLocalEclipse(const LocalEclipse& eclipse, const std::vector<std::string>& reportLines) {
  last_ = LocalEclipsePictureSetup(LocalPictureValuesOf(settings_, eclipse, reportLines), reportLines);
}

void PictureCollector::ShowEclipsePath(const std::vector<std::string>& pathList, const std::string& title,
                                       std::shared_ptr<const PathMapLimits> limits) {
  last_ = WorldMapPictureSetup(pathList, FindDataFile(settings_.GeoFileName), title, std::move(limits));
}

std::string WritePicture(const PictureSetup& picture, const std::string& file) {
  EnsureGuiApplication();
  return SaveBitmap(picture, tkBitmap300, file);
}

}  // namespace orb::cli
