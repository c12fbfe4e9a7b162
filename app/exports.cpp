// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/exports.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <stdexcept>

#include "sim/experiment_log.h"

namespace app {

void TraceHistory::Clear() {
  ticks_.fill(Tick());
  newest_ = sim::TraceLength - 1;
}

void TraceHistory::Record(const sim::Drive& d) {
  newest_ = (newest_ + 1) % sim::TraceLength;
  ticks_[static_cast<std::size_t>(newest_)] = {d.TracePreset[sim::TraceNewest], d.TraceActual[sim::TraceNewest],
                                               d.TraceError[sim::TraceNewest], d.DriveState[2], d.Command};
}

const TraceHistory::Tick& TraceHistory::At(int k) const {
  return ticks_[static_cast<std::size_t>((newest_ + 1 + k) % sim::TraceLength)];
}

std::string TracesCsv(const std::array<double, sim::TraceLength>& times, const TraceHistory& history,
                      bool withError) {
  using sim::CsvNumber;
  std::string csv = withError ? "time (s),preset (mm),actual (mm),error (mm),position (mm),command (V)\r\n"
                              : "time (s),preset (mm),actual (mm),position (mm),command (V)\r\n";
  for (int k = 0; k < sim::TraceLength; ++k) {
    const TraceHistory::Tick& t = history.At(k);
    csv += CsvNumber(times[static_cast<std::size_t>(k)]) + ',' + CsvNumber(t.preset) + ',' + CsvNumber(t.actual) + ',';
    if (withError) {
      csv += CsvNumber(t.error) + ',';
    }
    csv += CsvNumber(t.position) + ',' + CsvNumber(t.command) + "\r\n";
  }
  return csv;
}

QImage EnlargedPicture(const QImage& picture, int factor) {
  // Nearest neighbour: no smoothing may blur the aliased pixels.
  return picture.scaled(picture.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QByteArray PngBytes(const QImage& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "PNG")) {
    throw std::runtime_error("The oscilloscope picture could not be encoded as PNG");
  }
  return bytes;
}

void WriteFileAtomically(const QString& path, const QByteArray& data) {
  // QSaveFile writes to a temporary file in the target's folder and renames it on commit;
  // uncommitted, it removes the temporary file. Unbuffered, every write reaches the file at
  // once, so that a short write is seen here with its cause: buffered, a failed flush of the
  // last bytes goes unreported by commit() and leaves a truncated file under the name.
  QSaveFile file(path);
  QString reason;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    reason = file.errorString();
  } else {
    // A write may take only part of the data (a file size limit); the next one says why.
    for (qint64 done = 0, written = 0; reason.isEmpty() && done < data.size(); done += written) {
      written = file.write(data.constData() + done, data.size() - done);
      if (written <= 0) {
        reason = file.errorString();
      }
    }
    if (reason.isEmpty() && !file.flush()) {
      reason = file.errorString();
    }
    if (reason.isEmpty() && !file.commit()) {
      reason = file.errorString();
    }
  }
  if (reason.isEmpty()) {
    return;
  }
  file.cancelWriting();
  throw std::runtime_error(
      QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason).toStdString());
}

}  // namespace app
