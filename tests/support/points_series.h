#pragma once
// The smallest series an axis can read, for tests: fixed points and the axes they use.

#include <utility>
#include <vector>

#include "chart/chart_series.h"

namespace chart {

class PointsSeries final : public TChartSeries {
 public:
  explicit PointsSeries(std::vector<std::pair<double, double>> points = {}) : points_(std::move(points)) {}
  ~PointsSeries() override = default;

  int Count() const override { return static_cast<int>(points_.size()); }
  double MinXValue() const override { return Extreme(true, true); }
  double MaxXValue() const override { return Extreme(true, false); }
  double MinYValue() const override { return Extreme(false, true); }
  double MaxYValue() const override { return Extreme(false, false); }
  QString PointLabel(int) const override { return {}; }

 private:
  double Extreme(bool x, bool min) const {
    double v = 0;
    for (std::size_t i = 0; i < points_.size(); ++i) {
      const double p = x ? points_[i].first : points_[i].second;
      if (i == 0 || (min ? p < v : p > v)) v = p;
    }
    return v;
  }
  std::vector<std::pair<double, double>> points_;
};

}  // namespace chart
