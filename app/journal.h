// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The experiment journal: the log's final rows kept on disk in the user's data folder, so
// that a student's runs outlive the program. It is JSON, written whole through
// WriteFileAtomically, so that a crash or a full disk leaves the last good journal in place,
// and guarded by a lock file, so that a second program never writes over the first one's
// rows. The window positions live beside it, in a settings file of their own.

#include <QByteArray>
#include <QJsonObject>
#include <QLockFile>
#include <QSettings>
#include <QString>
#include <memory>
#include <vector>

#include "app/references.h"
#include "sim/experiment_log.h"

namespace app {

// One row as the journal holds it, and back. Every number keeps its exact double.
QJsonObject RecordToJson(const sim::LogRecord& record);
// Throws std::runtime_error naming the first field that is missing or of the wrong kind.
sim::LogRecord RecordFromJson(const QJsonObject& object);

// A kept trace, and back; reading throws like RecordFromJson.
QJsonObject ReferenceToJson(const Reference& reference);
Reference ReferenceFromJson(const QJsonObject& object);

// A whole journal file, and back; reading throws std::runtime_error saying what is wrong.
QByteArray JournalBytes(const std::vector<sim::LogRecord>& rows, const std::vector<Reference>& references = {});
std::vector<sim::LogRecord> ReadJournal(const QByteArray& bytes);
// The kept traces of a journal that ReadJournal read; none in a journal without them.
std::vector<Reference> ReadJournalReferences(const QByteArray& bytes);

class LabStore {
 public:
  // folder: where the journal and its lock live, made when missing; settingsPath: the file
  // the window positions go to.
  LabStore(QString folder, const QString& settingsPath);
  LabStore(const LabStore&) = delete;
  LabStore& operator=(const LabStore&) = delete;

  // What opening found: the rows to start with, and what the student must be told (a
  // damaged journal kept aside, another program holding the journal), empty when all is well.
  struct Opening {
    std::vector<sim::LogRecord> rows;
    std::vector<Reference> references;
    QString notice;
  };
  // Takes the lock and reads the journal. Without the lock nothing is ever written here.
  Opening Open();
  bool Keeping() const { return lock_ != nullptr && lock_->isLocked(); }

  // Writes the journal whole; throws std::runtime_error naming the file and the cause.
  void Save(const std::vector<sim::LogRecord>& rows, const std::vector<Reference>& references = {});
  // The rows as a dated file beside the journal, which LoadFile brings back; its path.
  // Throws like Save.
  QString KeepAside(const std::vector<sim::LogRecord>& rows);
  // A journal file's rows; throws std::runtime_error naming the file and what is wrong.
  static std::vector<sim::LogRecord> LoadFile(const QString& path);

  QString Folder() const { return folder_; }
  QString JournalPath() const;
  QSettings& Settings() { return settings_; }

 private:
  // A name beside the journal that no file has yet: <base>-<date and time>[-n].json.
  QString FreeName(const QString& base) const;

  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QSettings settings_;
};

}  // namespace app
