// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_types.h"

namespace chart {

int MulDiv(int a, int b, int c) {
  if (c == 0) {
    return -1;
  }
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t n = product < 0 ? -product : product;
  const std::int64_t d = c < 0 ? -static_cast<std::int64_t>(c) : c;
  const std::int64_t q = (2 * n + d) / (2 * d);  // halves away from zero
  return static_cast<int>(negative ? -q : q);
}

}  // namespace chart
