// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/value_list.h"

#include <cmath>
#include <utility>

namespace chart {
namespace {

// Raises the list error unless 0 <= index <= last.
void CheckIndex(int index, int last) {
  if (index < 0 || index > last) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
}

}  // namespace

int NextCapacity(int capacity) {
  if (capacity > 64) {
    return capacity + capacity / 4;
  }
  if (capacity > 8) {
    return capacity + 16;
  }
  return capacity + 4;
}

TChartValueList::TChartValueList(std::string name, TChartListOrder order)
    : Name(std::move(name)), Order(order) {}

void TChartValueList::SetMultiplier(double multiplier) {
  if (multiplier == multiplier_) {
    return;
  }
  multiplier_ = multiplier;
  modified_ = true;
  if (OnMultiplierChanged) {
    OnMultiplierChanged();
  }
}

double TChartValueList::ValueAt(int index) const {
  CheckIndex(index, Count() - 1);
  return values_[index] * multiplier_;
}

void TChartValueList::SetValue(int index, double value) {
  CheckIndex(index, Count() - 1);
  values_[index] = value;
  modified_ = true;
}

// The value belongs before the last one: scan back past every stored value it precedes.
int TChartValueList::InsertInOrder(double value) {
  int index = Count();
  if (Order == loAscending) {
    while (index > 0 && values_[index - 1] > value) {
      --index;
    }
  } else {
    while (index > 0 && values_[index - 1] < value) {
      --index;
    }
  }
  InsertAt(index, value);
  return index;
}

void TChartValueList::InsertInside(int index, double value) {
  CheckIndex(index, Count());
  InsertAt(index, value);
}

void TChartValueList::InsertAt(int index, double value) {
  values_.Insert(index, value);
  modified_ = true;
}

void TChartValueList::ClearValues() {
  values_.Clear();
  modified_ = true;
}

double TChartValueList::MinValue() const {
  RecalcIfModified();
  return minValue_;
}

double TChartValueList::MaxValue() const {
  RecalcIfModified();
  return maxValue_;
}

double TChartValueList::Total() const {
  RecalcIfModified();
  return total_;
}

double TChartValueList::TotalAbs() const {
  RecalcIfModified();
  return totalAbs_;
}

void TChartValueList::RecalcIfModified() const {
  if (modified_) {
    RecalcStats();
  }
}

// Walks the multiplied values once; a value below the minimum cannot also be above the
// maximum, hence the else.
void TChartValueList::RecalcStats() const {
  if (values_.Count() == 0) {
    minValue_ = maxValue_ = total_ = totalAbs_ = 0.0;
  } else {
    const double first = values_[0] * multiplier_;
    minValue_ = maxValue_ = total_ = first;
    totalAbs_ = std::fabs(first);
    for (int i = 1; i < values_.Count(); ++i) {
      const double v = values_[i] * multiplier_;
      if (v < minValue_) {
        minValue_ = v;
      } else if (v > maxValue_) {
        maxValue_ = v;
      }
      total_ += v;
      totalAbs_ += std::fabs(v);
    }
  }
  modified_ = false;
}

}  // namespace chart
