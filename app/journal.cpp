// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/journal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/exports.h"
#include "sim/measurements.h"

namespace app {

namespace {

constexpr auto Format = "drivelab journal";
constexpr int Version = 1;

[[noreturn]] void Damaged(const QString& what) { throw std::runtime_error(what.toStdString()); }

// Each record's fields by name, so that writing and reading cannot drift apart.
template <class T>
struct Number {
  const char* key;
  double T::*member;
};
template <class T>
struct Maybe {
  const char* key;
  std::optional<double> T::*member;
};

constexpr Number<sim::Parameters> ParameterFields[] = {
    {"Kamp", &sim::Parameters::Kamp},     {"Tamp", &sim::Parameters::Tamp},   {"Kmotor", &sim::Parameters::Kmotor},
    {"Tmotor", &sim::Parameters::Tmotor}, {"Pitch", &sim::Parameters::Pitch}, {"Kfb", &sim::Parameters::Kfb}};
constexpr Maybe<sim::StabilityFigures> StabilityFields[] = {
    {"criticalKamp", &sim::StabilityFigures::criticalKamp},
    {"criticalFrequency", &sim::StabilityFigures::criticalFrequency},
    {"slowestTimeConstant", &sim::StabilityFigures::slowestTimeConstant}};
constexpr Number<sim::StepFigures> StepNumbers[] = {{"start", &sim::StepFigures::start},
                                                    {"target", &sim::StepFigures::target},
                                                    {"ramp", &sim::StepFigures::ramp},
                                                    {"elapsed", &sim::StepFigures::elapsed}};
constexpr Maybe<sim::StepFigures> StepFigureFields[] = {
    {"riseTime", &sim::StepFigures::riseTime},   {"peakTime", &sim::StepFigures::peakTime},
    {"peak", &sim::StepFigures::peakValue},      {"overshoot", &sim::StepFigures::overshoot},
    {"settling5", &sim::StepFigures::settling5}, {"settling2", &sim::StepFigures::settling2},
    {"steadyStateError", &sim::StepFigures::steadyStateError}};
constexpr Number<sim::HarmonicFigures> HarmonicNumbers[] = {
    {"amplitude", &sim::HarmonicFigures::amplitude},
    {"frequency", &sim::HarmonicFigures::frequency},
    {"carriageAmplitude", &sim::HarmonicFigures::carriageAmplitude},
    {"ratio", &sim::HarmonicFigures::ratio},
    {"phaseLag", &sim::HarmonicFigures::phaseLag},
    {"errorAmplitude", &sim::HarmonicFigures::errorAmplitude}};
constexpr Number<sim::SweepSummary> SweepNumbers[] = {
    {"amplitude", &sim::SweepSummary::amplitude}, {"from", &sim::SweepSummary::from}, {"to", &sim::SweepSummary::to}};
constexpr Maybe<sim::SweepSummary> SweepFigureFields[] = {{"peakDb", &sim::SweepSummary::peakDb},
                                                          {"peakFrequency", &sim::SweepSummary::peakFrequency},
                                                          {"bandwidth", &sim::SweepSummary::bandwidth}};
constexpr sim::StepVerdict Verdicts[] = {sim::StepVerdict::Settling, sim::StepVerdict::Settled,
                                         sim::StepVerdict::Oscillating, sim::StepVerdict::HeldAtStop,
                                         sim::StepVerdict::Stopped};

template <class T, std::size_t N, std::size_t M>
QJsonObject Write(const T& value, const Number<T> (&numbers)[N], const Maybe<T> (&maybes)[M]) {
  QJsonObject o;
  for (const auto& f : numbers) {
    o.insert(QLatin1String(f.key), value.*f.member);
  }
  for (const auto& f : maybes) {
    if (value.*f.member) {
      o.insert(QLatin1String(f.key), *(value.*f.member));  // a figure not shown is left out
    }
  }
  return o;
}

QJsonValue Field(const QJsonObject& o, const char* key, bool (QJsonValue::*is)() const, const char* kind) {
  const QJsonValue v = o.value(QLatin1String(key));
  if (!(v.*is)()) {
    Damaged(QStringLiteral("'%1' is not %2").arg(QLatin1String(key), QLatin1String(kind)));
  }
  return v;
}

double ReadNumber(const QJsonObject& o, const char* key) {
  return Field(o, key, &QJsonValue::isDouble, "a number").toDouble();
}

int ReadCount(const QJsonObject& o, const char* key) {
  const double v = ReadNumber(o, key);
  if (!(v >= 0 && v <= 1e9 && v == std::floor(v))) {
    Damaged(QStringLiteral("'%1' is not a count").arg(QLatin1String(key)));
  }
  return static_cast<int>(v);
}

template <class T, std::size_t N, std::size_t M>
T Read(const QJsonObject& o, const Number<T> (&numbers)[N], const Maybe<T> (&maybes)[M]) {
  T value{};
  for (const auto& f : numbers) {
    value.*f.member = ReadNumber(o, f.key);
  }
  for (const auto& f : maybes) {
    if (o.contains(QLatin1String(f.key))) {
      value.*f.member = ReadNumber(o, f.key);
    }
  }
  return value;
}

QJsonObject ReadObject(const QJsonObject& o, const char* key) {
  return Field(o, key, &QJsonValue::isObject, "an object").toObject();
}

}  // namespace

QJsonObject RecordToJson(const sim::LogRecord& r) {
  QJsonObject o;
  QJsonObject parameters;
  for (const auto& f : ParameterFields) {
    parameters.insert(QLatin1String(f.key), r.parameters.*f.member);
  }
  o.insert(QStringLiteral("parameters"), parameters);
  QJsonObject stability;
  stability.insert(QStringLiteral("stable"), r.stability.stable);
  for (const auto& f : StabilityFields) {
    if (r.stability.*f.member) {
      stability.insert(QLatin1String(f.key), *(r.stability.*f.member));
    }
  }
  o.insert(QStringLiteral("stability"), stability);
  if (r.step) {
    QJsonObject step = Write(*r.step, StepNumbers, StepFigureFields);
    step.insert(QStringLiteral("verdict"), QLatin1String(sim::StepVerdictText(r.step->verdict)));
    o.insert(QStringLiteral("step"), step);
  }
  if (r.harmonic) {
    QJsonObject harmonic;
    for (const auto& f : HarmonicNumbers) {
      harmonic.insert(QLatin1String(f.key), (*r.harmonic).*f.member);
    }
    harmonic.insert(QStringLiteral("periods"), r.harmonic->periods);
    harmonic.insert(QStringLiteral("steady"), r.harmonic->steady);
    o.insert(QStringLiteral("harmonic"), harmonic);
  }
  if (r.sweep) {
    QJsonObject sweep = Write(*r.sweep, SweepNumbers, SweepFigureFields);
    sweep.insert(QStringLiteral("count"), r.sweep->count);
    o.insert(QStringLiteral("sweep"), sweep);
  }
  if (!r.error.empty()) {
    o.insert(QStringLiteral("error"), QString::fromStdString(r.error));
  }
  if (!r.note.empty()) {
    o.insert(QStringLiteral("note"), QString::fromStdString(r.note));
  }
  return o;
}

sim::LogRecord RecordFromJson(const QJsonObject& o) {
  sim::LogRecord r;
  const QJsonObject parameters = ReadObject(o, "parameters");
  for (const auto& f : ParameterFields) {
    r.parameters.*f.member = ReadNumber(parameters, f.key);
  }
  const QJsonObject stability = ReadObject(o, "stability");
  r.stability.stable = Field(stability, "stable", &QJsonValue::isBool, "true or false").toBool();
  for (const auto& f : StabilityFields) {
    if (stability.contains(QLatin1String(f.key))) {
      r.stability.*f.member = ReadNumber(stability, f.key);
    }
  }
  if (o.contains(QStringLiteral("step"))) {
    const QJsonObject step = ReadObject(o, "step");
    r.step = Read(step, StepNumbers, StepFigureFields);
    const QString verdict = Field(step, "verdict", &QJsonValue::isString, "a text").toString();
    const auto* found = std::find_if(std::begin(Verdicts), std::end(Verdicts), [&](sim::StepVerdict v) {
      return verdict == QLatin1String(sim::StepVerdictText(v));
    });
    if (found == std::end(Verdicts)) {
      Damaged(QStringLiteral("'%1' is no verdict").arg(verdict));
    }
    r.step->verdict = *found;
  }
  if (o.contains(QStringLiteral("harmonic"))) {
    const QJsonObject harmonic = ReadObject(o, "harmonic");
    r.harmonic.emplace();
    for (const auto& f : HarmonicNumbers) {
      r.harmonic.value().*f.member = ReadNumber(harmonic, f.key);
    }
    r.harmonic->periods = ReadCount(harmonic, "periods");
    r.harmonic->steady = Field(harmonic, "steady", &QJsonValue::isBool, "true or false").toBool();
  }
  if (o.contains(QStringLiteral("sweep"))) {
    const QJsonObject sweep = ReadObject(o, "sweep");
    r.sweep = Read(sweep, SweepNumbers, SweepFigureFields);
    r.sweep->count = ReadCount(sweep, "count");
  }
  if (o.contains(QStringLiteral("error"))) {
    r.error = Field(o, "error", &QJsonValue::isString, "a text").toString().toStdString();
  }
  if (o.contains(QStringLiteral("note"))) {
    r.note = Field(o, "note", &QJsonValue::isString, "a text").toString().toStdString();
  }
  if (static_cast<int>(r.step.has_value()) + static_cast<int>(r.harmonic.has_value()) +
          static_cast<int>(r.sweep.has_value()) != 1) {
    Damaged(QStringLiteral("a row is not one run"));
  }
  return r;
}

namespace {

QJsonArray NumberArray(const std::vector<double>& values) {
  QJsonArray array;
  for (double v : values) {
    array.append(v);
  }
  return array;
}

std::vector<double> ReadNumbers(const QJsonObject& o, const char* key) {
  std::vector<double> values;
  for (const QJsonValue& v : Field(o, key, &QJsonValue::isArray, "a list").toArray()) {
    if (!v.isDouble()) {
      Damaged(QStringLiteral("'%1' holds something that is not a number").arg(QLatin1String(key)));
    }
    values.push_back(v.toDouble());
  }
  return values;
}

}  // namespace

QJsonObject ReferenceToJson(const Reference& r) {
  QJsonObject parameters;
  for (const auto& f : ParameterFields) {
    parameters.insert(QLatin1String(f.key), r.parameters.*f.member);
  }
  QJsonObject o{{QStringLiteral("mode"), r.accuracy ? QStringLiteral("accuracy") : QStringLiteral("stability")},
                {QStringLiteral("parameters"), parameters},
                {QStringLiteral("start"), r.start},
                {QStringLiteral("clock"), r.clock},
                {QStringLiteral("shown"), r.shown},
                {QStringLiteral("colour"), static_cast<int>(r.colour)},
                {QStringLiteral("time"), NumberArray(r.time)},
                {QStringLiteral("actual"), NumberArray(r.actual)}};
  if (r.accuracy) {
    o.insert(QStringLiteral("amplitude"), r.amplitude);
    o.insert(QStringLiteral("frequency"), r.frequency);
    o.insert(QStringLiteral("error"), NumberArray(r.error));
  } else {
    o.insert(QStringLiteral("step"), r.step);
  }
  return o;
}

Reference ReferenceFromJson(const QJsonObject& o) {
  Reference r;
  const QString mode = Field(o, "mode", &QJsonValue::isString, "a text").toString();
  if (mode != QLatin1String("accuracy") && mode != QLatin1String("stability")) {
    Damaged(QStringLiteral("'%1' is no research mode").arg(mode));
  }
  r.accuracy = mode == QLatin1String("accuracy");
  const QJsonObject parameters = ReadObject(o, "parameters");
  for (const auto& f : ParameterFields) {
    r.parameters.*f.member = ReadNumber(parameters, f.key);
  }
  r.start = ReadNumber(o, "start");
  r.clock = ReadNumber(o, "clock");
  r.shown = Field(o, "shown", &QJsonValue::isBool, "true or false").toBool();
  r.colour = static_cast<std::size_t>(ReadCount(o, "colour")) % MaxReferences;
  r.time = ReadNumbers(o, "time");
  r.actual = ReadNumbers(o, "actual");
  if (r.accuracy) {
    r.amplitude = ReadCount(o, "amplitude");
    r.frequency = ReadCount(o, "frequency");
    r.error = ReadNumbers(o, "error");
  } else {
    r.step = ReadNumber(o, "step");
  }
  const bool ascending = std::is_sorted(r.time.begin(), r.time.end());
  if (r.actual.size() != r.time.size() || (r.accuracy && r.error.size() != r.time.size()) || !ascending) {
    Damaged(QStringLiteral("its times and values do not pair up"));
  }
  return r;
}

QByteArray JournalBytes(const std::vector<sim::LogRecord>& rows, const std::vector<Reference>& references) {
  QJsonArray array;
  for (const sim::LogRecord& r : rows) {
    array.append(RecordToJson(r));
  }
  QJsonObject journal{
      {QStringLiteral("format"), QLatin1String(Format)}, {QStringLiteral("version"), Version}, {QStringLiteral("rows"), array}};
  if (!references.empty()) {
    QJsonArray kept;
    for (const Reference& r : references) {
      kept.append(ReferenceToJson(r));
    }
    journal.insert(QStringLiteral("references"), kept);
  }
  return QJsonDocument(journal).toJson(QJsonDocument::Indented);
}

namespace {

// Each entry of `list` read by `read`; the first that is no object or does not read damages
// the journal, named by `what` and its place: "row 3: ...".
template <class T, class Read>
std::vector<T> ObjectsOf(const QJsonArray& list, const char* what, Read read) {
  std::vector<T> objects;
  for (const QJsonValue& entry : list) {
    const QString name = QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(objects.size() + 1);
    if (!entry.isObject()) {
      Damaged(name + QStringLiteral(" is not an object"));
    }
    try {
      objects.push_back(read(entry.toObject()));
    } catch (const std::runtime_error& e) {
      Damaged(name + QStringLiteral(": ") + QString::fromUtf8(e.what()));
    }
  }
  return objects;
}

}  // namespace

std::vector<Reference> ReadJournalReferences(const QByteArray& bytes) {
  const QJsonObject journal = QJsonDocument::fromJson(bytes).object();
  std::vector<Reference> references;
  if (!journal.contains(QStringLiteral("references"))) {
    return references;
  }
  return ObjectsOf<Reference>(Field(journal, "references", &QJsonValue::isArray, "a list").toArray(), "reference",
                              ReferenceFromJson);
}

std::vector<sim::LogRecord> ReadJournal(const QByteArray& bytes) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (document.isNull()) {
    Damaged(QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset));
  }
  const QJsonObject journal = document.object();
  if (journal.value(QStringLiteral("format")).toString() != QLatin1String(Format)) {
    Damaged(QStringLiteral("it is not a drivelab journal"));
  }
  if (journal.value(QStringLiteral("version")).toInt() != Version) {
    Damaged(QStringLiteral("its version is not %1").arg(Version));
  }
  return ObjectsOf<sim::LogRecord>(Field(journal, "rows", &QJsonValue::isArray, "a list").toArray(), "row",
                                   RecordFromJson);
}

LabStore::LabStore(QString folder, const QString& settingsPath)
    : folder_(std::move(folder)), settings_(settingsPath, QSettings::IniFormat) {}

QString LabStore::JournalPath() const { return QDir(folder_).filePath(QStringLiteral("journal.json")); }

QString LabStore::FreeName(const QString& base) const {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
  QString path = QDir(folder_).filePath(QStringLiteral("%1-%2.json").arg(base, stamp));
  for (int n = 2; QFileInfo::exists(path); ++n) {
    path = QDir(folder_).filePath(QStringLiteral("%1-%2-%3.json").arg(base, stamp).arg(n));
  }
  return path;
}

LabStore::Opening LabStore::Open() {
  Opening opening;
  const QString memoryOnly = QStringLiteral(
      " This window keeps its log in memory only: save it with File, Save experiment log as CSV, before you "
      "close it.");
  if (!QDir().mkpath(folder_)) {
    opening.notice = QStringLiteral("The experiment journal cannot be kept: the folder %1 cannot be made.")
                         .arg(QDir::toNativeSeparators(folder_)) +
                     memoryOnly;
    return opening;
  }
  lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(QStringLiteral("journal.lock")));
  // A lock is stale only when its program has gone, never because it is old: a lab runs for hours.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    qint64 pid = 0;
    QString host, application;
    const bool held = lock_->error() == QLockFile::LockFailedError && lock_->getLockInfo(&pid, &host, &application);
    opening.notice = held ? QStringLiteral("Another drivelab (process %1) is keeping the experiment journal in %2.")
                                .arg(pid)
                                .arg(QDir::toNativeSeparators(folder_))
                          : QStringLiteral("The experiment journal in %1 cannot be locked.")
                                .arg(QDir::toNativeSeparators(folder_));
    opening.notice += memoryOnly;
    lock_.reset();
    return opening;
  }
  QFile file(JournalPath());
  if (!file.exists()) {
    return opening;  // the first start: an empty log
  }
  QString reason;
  if (!file.open(QIODevice::ReadOnly)) {
    reason = file.errorString();
  } else {
    try {
      const QByteArray bytes = file.readAll();
      opening.rows = ReadJournal(bytes);
      opening.references = ReadJournalReferences(bytes);
      return opening;
    } catch (const std::runtime_error& e) {
      reason = QString::fromUtf8(e.what());
    }
  }
  file.close();
  // Never written over: the rows in it may still be worth something to someone.
  const QString aside = FreeName(QStringLiteral("journal-damaged"));
  const QString journal = QDir::toNativeSeparators(JournalPath());
  if (QFile::rename(JournalPath(), aside)) {
    opening.notice = QStringLiteral("The experiment journal %1 could not be read (%2). It is kept as %3, and the "
                                    "log starts empty.")
                         .arg(journal, reason, QDir::toNativeSeparators(aside));
  } else {
    opening.notice = QStringLiteral("The experiment journal %1 could not be read (%2), nor moved aside.")
                         .arg(journal, reason) +
                     memoryOnly;
    lock_.reset();
  }
  return opening;
}

void LabStore::Save(const std::vector<sim::LogRecord>& rows, const std::vector<Reference>& references) {
  if (Keeping()) {
    WriteFileAtomically(JournalPath(), JournalBytes(rows, references));
  }
}

QString LabStore::KeepAside(const std::vector<sim::LogRecord>& rows) {
  const QString path = FreeName(QStringLiteral("journal"));
  WriteFileAtomically(path, JournalBytes(rows));
  return path;
}

std::vector<sim::LogRecord> LabStore::LoadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Damaged(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
  try {
    return ReadJournal(file.readAll());
  } catch (const std::runtime_error& e) {
    Damaged(QStringLiteral("%1 is not a journal drivelab can read: %2")
                .arg(QDir::toNativeSeparators(path), QString::fromUtf8(e.what())));
  }
}

}  // namespace app
