#include "chart/value_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace chart {
namespace {

std::vector<double> Values(const TChartValueList& list) {
  std::vector<double> values;
  for (int i = 0; i < list.Count(); ++i) {
    values.push_back(list.ValueAt(i));
  }
  return values;
}

// Each row: the order and multiplier, the values added, the indices AddValue returned and
// the values read back. Raw values decide the place; the multiplier only scales the reading.
TEST(ValueList, AddValueKeepsTheOrderAndReturnsWhereTheValueWent) {
  using Row = std::tuple<TChartListOrder, double, std::vector<double>, std::vector<int>,
                         std::vector<double>>;
  const Row cases[] = {
      {loAscending, 1, {1, 3, 2}, {0, 1, 1}, {1, 2, 3}},
      {loAscending, 1, {5, 1, 0}, {0, 0, 0}, {0, 1, 5}},
      {loDescending, 1, {1, 3, 2}, {0, 0, 1}, {3, 2, 1}},
      {loNone, 1, {1, 3, 2}, {0, 1, 2}, {1, 3, 2}},
      {loAscending, -1, {1, 3, 2}, {0, 1, 1}, {-1, -2, -3}},
  };
  for (const auto& [order, multiplier, added, indices, read] : cases) {
    TChartValueList list("X", order);
    list.SetMultiplier(multiplier);
    std::vector<int> returned;
    for (double v : added) {
      returned.push_back(list.AddValue(v));
    }
    EXPECT_EQ(returned, indices) << "order " << order;
    EXPECT_EQ(Values(list), read) << "order " << order;
  }
}

// The series puts y at the index x went to; equal x values keep the order they came in.
TEST(ValueList, EqualValuesLandAfterTheirEquals) {
  const std::pair<TChartListOrder, std::vector<double>> cases[] = {
      {loAscending, {10, 30, 50, 20, 40}},
      {loDescending, {20, 40, 10, 30, 50}},
  };
  for (const auto& [order, markers] : cases) {
    TChartValueList x("X", order);
    TChartValueList y("Y", loNone);
    for (const auto& [xv, marker] : {std::pair{1, 10}, {2, 20}, {1, 30}, {2, 40}, {1, 50}}) {
      y.InsertValue(x.AddValue(xv), marker);
    }
    EXPECT_EQ(Values(y), markers) << "order " << order;
  }
}

TEST(ValueList, GrowsByItsStepsAndClearingReleasesTheArray) {
  TChartValueList x("X", loAscending);
  TChartValueList y("Y", loNone);
  std::vector<int> xSteps{0};
  std::vector<int> ySteps{0};
  for (int i = 0; i < 393; ++i) {
    y.InsertValue(x.AddValue(i), -i);
    if (x.Capacity() != xSteps.back()) xSteps.push_back(x.Capacity());
    if (y.Capacity() != ySteps.back()) ySteps.push_back(y.Capacity());
  }
  const std::vector<int> steps{0, 4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228, 285, 356, 445};
  EXPECT_EQ(xSteps, steps);
  EXPECT_EQ(ySteps, steps);
  x.ClearValues();
  EXPECT_EQ(x.Count(), 0);
  EXPECT_EQ(x.Capacity(), 0);
}

// Rows: raw values, multiplier, then minimum, maximum, total and absolute total.
TEST(ValueList, FiguresAreInMultipliedUnits) {
  const std::tuple<std::vector<double>, double, double, double, double, double> cases[] = {
      {{}, 2, 0, 0, 0, 0},
      {{-2}, 1, -2, -2, -2, 2},
      {{3, -5, 2}, 1, -5, 3, 0, 10},
      {{3, -5, 2}, 2, -10, 6, 0, 20},
      {{3, -5, 4}, -1, -4, 5, -2, 12},
  };
  for (const auto& [raw, multiplier, min, max, total, totalAbs] : cases) {
    TChartValueList list("Y", loNone);
    for (double v : raw) {
      list.AddValue(v);
    }
    list.SetMultiplier(multiplier);
    EXPECT_EQ((std::vector{list.MinValue(), list.MaxValue(), list.Total(), list.TotalAbs()}),
              (std::vector{min, max, total, totalAbs}));
    list.SetMultiplier(1);
    EXPECT_EQ(Values(list), raw) << "the stored values stay raw";
  }
}

// The figures are recomputed once after a change, so every change must mark them stale.
// Rows: the change, whether it is one, the maximum after it, the repaints it asked for.
TEST(ValueList, EveryChangeMakesTheFiguresStale) {
  const std::tuple<std::function<void(TChartValueList&)>, bool, double, int> cases[] = {
      {[](TChartValueList& l) { l.SetValue(0, 9); }, true, 9, 0},
      {[](TChartValueList& l) { l.AddValue(9); }, true, 9, 0},
      {[](TChartValueList& l) { l.InsertValue(0, 9); }, true, 9, 0},
      {[](TChartValueList& l) { l.ClearValues(); }, true, 0, 0},
      {[](TChartValueList& l) { l.SetMultiplier(3); }, true, 6, 1},
      {[](TChartValueList& l) { l.SetMultiplier(1); }, false, 2, 0},
  };
  for (const auto& [change, stale, max, repaints] : cases) {
    TChartValueList list("Y", loNone);
    int requested = 0;
    list.OnMultiplierChanged = [&requested] { ++requested; };
    list.AddValue(1);
    list.AddValue(2);
    EXPECT_EQ(list.MaxValue(), 2);
    EXPECT_FALSE(list.Modified());
    change(list);
    EXPECT_EQ(list.Modified(), stale);
    EXPECT_EQ(list.MaxValue(), max);
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(requested, repaints);
  }
}

TEST(ValueList, IndexOutsideTheListIsAnError) {
  TChartValueList list("X", loAscending);
  list.AddValue(1);
  list.AddValue(2);
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { list.ValueAt(-1); }, "List index out of bounds (-1)"},
      {[&] { list.ValueAt(2); }, "List index out of bounds (2)"},
      {[&] { list.SetValue(2, 0); }, "List index out of bounds (2)"},
      {[&] { list.InsertValue(3, 0); }, "List index out of bounds (3)"},
  };
  for (const auto& [call, message] : cases) {
    try {
      call();
      ADD_FAILURE() << "no error for " << message;
    } catch (const EListError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  EXPECT_EQ(Values(list), (std::vector<double>{1, 2}));
}

}  // namespace
}  // namespace chart
