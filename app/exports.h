// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// What the File menu writes, as functions that need no window: the trace window as CSV, the
// oscilloscope picture enlarged, and the writing of a file that is either whole or absent.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <string>

#include "sim/drive.h"

namespace app {

// The full-precision position and the command at each tick the trace window shows, which
// the window itself keeps only as whole millimetres.
class TraceHistory {
 public:
  struct Tick {
    double preset = 0, actual = 0, error = 0;  // the trace window's values, as plotted
    double position = 0;                       // mm, the model's x
    double command = 0;                        // V, the drive's Command
  };

  // The drive at rest: every tick zero, as the trace window after a reset.
  void Clear();
  // After each tick that completed: its newest trace values and the model's state.
  void Record(const sim::Drive& d);
  // k = 0 (oldest) .. TraceLength - 1 (newest): the tick plotted as the trace window's point k.
  const Tick& At(int k) const;

 private:
  std::array<Tick, sim::TraceLength> ticks_{};
  int newest_ = sim::TraceLength - 1;
};

// The trace window as the oscilloscope shows it, one CRLF-ended row per point: time, preset,
// actual, the error in accuracy research, then the full-precision position and command.
// '.' decimals whatever the locale.
std::string TracesCsv(const std::array<double, sim::TraceLength>& times, const TraceHistory& history,
                      bool withError);

// Each pixel as a factor x factor square: the picture exactly as drawn, only bigger.
QImage EnlargedPicture(const QImage& picture, int factor);

// The picture as PNG bytes.
QByteArray PngBytes(const QImage& picture);

// Writes data to a temporary file beside path and renames it over path, so that a failure
// leaves neither a half-written file nor the temporary one. Throws std::runtime_error with
// a message naming the file and the reason.
void WriteFileAtomically(const QString& path, const QByteArray& data);

}  // namespace app
