// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/references.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace app {

double ReferenceShift(const Reference& r, const LiveRun& live, std::int32_t liveFrequency) {
  if (r.time.empty() || !(live.tick > 0)) {
    return 0;
  }
  double shift = live.newest - r.time.back();
  if (live.start) {
    shift = *live.start - r.start;
    if (r.accuracy && live.accuracy && r.frequency == liveFrequency && r.frequency > 0) {
      const double period = 2 * std::numbers::pi / r.frequency;
      const double inPhase = r.clock - live.clock;
      shift = inPhase + period * std::round((shift - inPhase) / period);
    }
  }
  return live.tick * std::round(shift / live.tick);
}

std::vector<Setting> ReferenceSettings(const Reference& r) {
  std::vector<Setting> settings = ParameterSettings(r.parameters, r.accuracy);
  if (r.accuracy) {
    settings.push_back({QStringLiteral("amplitude"), static_cast<double>(r.amplitude)});
    settings.push_back({QStringLiteral("frequency"), static_cast<double>(r.frequency)});
  } else {
    settings.push_back({QStringLiteral("step"), r.step});
  }
  return settings;
}

QStringList ReferenceLabels(const std::vector<const Reference*>& kept, const LiveRun& live, QChar separator) {
  std::vector<std::vector<Setting>> runs;
  for (const Reference* r : kept) {
    runs.push_back(ReferenceSettings(*r));
  }
  if (!live.settings.empty()) {
    runs.push_back(live.settings);
  }
  QStringList labels = DifferingLabels(runs, separator, QStringLiteral("reference %1"));
  labels.erase(labels.begin() + static_cast<qsizetype>(kept.size()), labels.end());
  return labels;
}

std::size_t FreeColour(const std::vector<Reference>& kept) {
  std::size_t colour = 0;
  while (colour + 1 < MaxReferences &&
         std::any_of(kept.begin(), kept.end(), [&](const Reference& r) { return r.colour == colour; })) {
    ++colour;
  }
  return colour;
}

platform::TColor ErrorColorOf(platform::TColor color) {
  const auto darker = [&](int shift) { return (((color >> shift) & 0xFF) * 5 / 8) << shift; };
  return darker(0) | darker(8) | darker(16);
}

}  // namespace app
