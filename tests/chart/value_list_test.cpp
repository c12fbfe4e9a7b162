#include "chart/value_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace chart {
namespace {

std::vector<double> Values(const TChartValueList& list) {
  std::vector<double> values;
  for (int i = 0; i < list.Count(); ++i) values.push_back(list.ValueAt(i));
  return values;
}

// Each equal value lands after its equals; raw values decide the place (the -1 row).
TEST(ValueList, AddValueKeepsTheOrderAndReturnsWhereTheValueWent) {
  const std::tuple<TChartListOrder, double, std::vector<int>, std::vector<double>> rows[] = {
      {loAscending, 1, {0, 1, 1, 2, 1}, {1, 1, 2, 2, 3}},
      {loDescending, 1, {0, 0, 1, 2, 4}, {3, 2, 2, 1, 1}},
      {loAscending, -1, {0, 1, 1, 2, 1}, {-1, -1, -2, -2, -3}}};
  for (const auto& [order, multiplier, returned, read] : rows) {
    TChartValueList list("X", order);
    list.SetMultiplier(multiplier);
    std::vector<int> got;
    for (double v : {1, 3, 2, 2, 1}) got.push_back(list.AddValue(v));
    EXPECT_EQ(got, returned) << "order " << order;
    EXPECT_EQ(Values(list), read) << "order " << order;
  }
}

TEST(ValueList, GrowsByItsStepsAndClearingReleasesTheArray) {
  TChartValueList list("X", loAscending);
  std::vector<int> steps{0};
  for (int i = 0; i < 393; ++i) {
    list.AddValue(i);
    if (list.Capacity() != steps.back()) steps.push_back(list.Capacity());
  }
  EXPECT_EQ(steps, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228, 285, 356, 445}));
  list.ClearValues();
  EXPECT_EQ(list.Capacity(), 0);
}

// A list holding 1, 2 with its figures read, then changed: min, max, total, absolute total.
TEST(ValueList, FiguresFollowEveryChangeInMultipliedUnits) {
  const std::pair<std::function<void(TChartValueList&)>, std::vector<double>> rows[] = {
      {[](auto& l) { l.ClearValues(); }, {0, 0, 0, 0}},
      {[](auto& l) { l.SetMultiplier(2); }, {2, 4, 6, 6}},
      {[](auto& l) { l.AddValue(-5); }, {-5, 2, -2, 8}},
      {[](auto& l) { l.SetValue(0, 9); }, {2, 9, 11, 11}}};
  for (const auto& [change, figures] : rows) {
    TChartValueList list("Y", loNone);
    for (double v : {1, 2}) list.AddValue(v);
    ASSERT_EQ(list.MaxValue(), 2);
    change(list);
    EXPECT_EQ((std::vector{list.MinValue(), list.MaxValue(), list.Total(), list.TotalAbs()}), figures);
  }
}

std::string ListError(const std::function<void()>& call) try {
  call();
  return "";
} catch (const EListError& e) {
  return e.what();
}

TEST(ValueList, IndexOutsideTheListIsAnError) {
  TChartValueList list("X", loAscending);
  list.AddValue(1);
  EXPECT_EQ(ListError([&] { list.ValueAt(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ListError([&] { list.ValueAt(1); }), "List index out of bounds (1)");
  EXPECT_EQ(ListError([&] { list.InsertValue(2, 0); }), "List index out of bounds (2)");
  EXPECT_EQ(ListError([&] { list.InsertValue(1, 0); }), "") << "one past the end is a place to insert";
}

}  // namespace
}  // namespace chart
