// SPDX-License-Identifier: AGPL-3.0-or-later
#pragma once

// The pictures of the batch program: the eclipse commands hand each picture
// here; --picture writes the last one as a bitmap.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "eclipses/LocalEclipse.h"
#include "eclipses/LunarEclipse.h"
#include "eclipses/PathReport.h"
#include "graphics/PictureSetup.h"
#include "settings/Settings.h"

namespace orb::cli {

// Keeps the picture of the last reported eclipse.
class PictureCollector : public LunarEclipsePictureSink, public LocalEclipsePictureSink, public EclipsePathPictureSink {
 public:
  explicit PictureCollector(const TSettings& settings) : settings_(settings) {}

  void ShowLunarEclipse(const Finsternistyp& eclipse, const std::vector<std::string>& reportLines) override;
  void ShowLocalEclipse(const LocalEclipse& eclipse, const std::vector<std::string>& reportLines) override;
  void ShowEclipsePath(const std::vector<std::string>& pathList, const std::string& title,
                       std::shared_ptr<const PathMapLimits> limits) override;

  const std::optional<PictureSetup>& Last() const { return last_; }

 private:
  const TSettings& settings_;
  std::optional<PictureSetup> last_;
};

// Writes `picture` at 300 dpi to `file` (BMP, or PNG when the name ends in
// ".png"); empty on success, otherwise a German error text.
std::string WritePicture(const PictureSetup& picture, const std::string& file);

}  // namespace orb::cli
