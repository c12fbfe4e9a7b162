// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// One dimension of a series' points (its x or its y values).
//
// Values are stored raw and read back times Multiplier. The minimum, maximum and totals are
// not kept up to date while points arrive: every change only sets the modified flag, and
// the first query after it recomputes all four at once. The chart refills its series on
// every tick and asks for the range once per paint, so that is one pass per paint instead
// of work on every insertion.
//
// The values sit in one contiguous array, not one heap cell per value. What the list shows
// of its array is the growth rule's capacity (NextCapacity), which the series' colour and
// label lists share, and 0 after a clear; the storage itself is kept across clears, so a
// series refilled on every tick allocates nothing once it has held its points.

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace chart {

enum TChartListOrder { loNone, loAscending, loDescending };

// A list read or written at an index it does not hold.
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The capacity a full list grows to: a quarter more above 64, 16 more above 8, else 4 more.
// From empty: 4, 8, 12, 28, 44, 60, 76, 95, 118, ...
int NextCapacity(int capacity);

// Items in one vector whose capacity, as the lists show it, grows by NextCapacity from 0
// and drops to 0 on Clear, while the vector keeps what it has allocated.
template <typename T>
class RuleGrownList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  const T* Data() const { return items_.data(); }
  T& operator[](int index) { return items_[static_cast<std::size_t>(index)]; }
  const T& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }
  // index 0..Count; the item is made in place from args.
  template <typename... Args>
  void Emplace(int index, Args&&... args) {
    if (Count() == capacity_) {
      Grow();
    }
    if (index == Count()) {
      items_.emplace_back(std::forward<Args>(args)...);
    } else {
      items_.emplace(items_.begin() + index, std::forward<Args>(args)...);
    }
  }
  void Insert(int index, T item) { Emplace(index, std::move(item)); }
  void Clear() {
    items_.clear();
    capacity_ = 0;
  }

 private:
  void Grow() {
    capacity_ = NextCapacity(capacity_);
    if (items_.capacity() < static_cast<std::size_t>(capacity_)) {
      items_.reserve(static_cast<std::size_t>(capacity_));
    }
  }

  std::vector<T> items_;
  int capacity_ = 0;
};

class TChartValueList {
 public:
  TChartValueList(std::string name, TChartListOrder order);
  TChartValueList(const TChartValueList&) = delete;
  TChartValueList& operator=(const TChartValueList&) = delete;

  // --- properties ---
  bool DateTime = false;
  std::string Name;
  // Kept by AddValue from then on; changing it does not re-sort what is stored.
  TChartListOrder Order;
  // Where the series stages a value before adding it.
  double TempValue = 0.0;
  std::string ValueSource;
  // Raised after Multiplier took a new value: the owner repaints.
  std::function<void()> OnMultiplierChanged;

  double Multiplier() const { return multiplier_; }
  // A new value changes every figure read back; the value already held does nothing.
  void SetMultiplier(double multiplier);

  // --- values ---
  int Count() const { return values_.Count(); }
  // In values, by the growth rule; 0 after ClearValues.
  int Capacity() const { return values_.Capacity(); }
  // The stored value times Multiplier. Indices outside 0..Count-1 raise EListError.
  double ValueAt(int index) const;
  // Overwrites the raw value at index (0..Count-1).
  void SetValue(int index, double value);
  // Inserts keeping Order and returns the index the value now stands at. Ordered input
  // costs one comparison; a value equal to stored ones lands after them. Raw values are
  // compared, so Multiplier does not affect where a value goes.
  int AddValue(double value) {
    const int count = Count();
    const bool atEnd = count == 0 || Order == loNone ||
                       (Order == loAscending ? !(values_[count - 1] > value) : !(values_[count - 1] < value));
    if (!atEnd) {
      return InsertInOrder(value);
    }
    values_.Insert(count, value);
    modified_ = true;
    return count;
  }
  // Inserts at index (0..Count), whatever the Order.
  void InsertValue(int index, double value) {
    if (index == Count()) {  // where a series' y goes after an x that came in order
      values_.Insert(index, value);
      modified_ = true;
      return;
    }
    InsertInside(index, value);
  }
  // Empties the list; its capacity is 0 again.
  void ClearValues();
  // The stored values, Count of them, before Multiplier: for drawing many at once.
  const double* RawValues() const { return values_.Data(); }

  // --- figures, in multiplied units; 0 for an empty list ---
  double MinValue() const;
  double MaxValue() const;
  double Total() const;
  double TotalAbs() const;
  // True while the figures above are stale; the next query recomputes them.
  bool Modified() const { return modified_; }

 private:
  void InsertAt(int index, double value);
  int InsertInOrder(double value);
  void InsertInside(int index, double value);
  void RecalcStats() const;
  void RecalcIfModified() const;

  RuleGrownList<double> values_;
  double multiplier_ = 1.0;
  mutable double minValue_ = 0.0;
  mutable double maxValue_ = 0.0;
  mutable double total_ = 0.0;
  mutable double totalAbs_ = 0.0;
  mutable bool modified_ = true;
};

}  // namespace chart
