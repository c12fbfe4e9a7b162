// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/measurements_window.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "app/keyboard.h"
#include "app/measurement_rows.h"
#include "platform/fonts.h"

// Figures first in numeric order, a missing figure after every number; text by text.
class LogTableItem final : public QTableWidgetItem {
 public:
  LogTableItem(const QString& text, std::optional<double> number) : QTableWidgetItem(text), number_(number) {}
  // A changed number: the text, and what sorting goes by.
  void Set(const QString& text, std::optional<double> number) {
    number_ = number;
    setText(text);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const auto* o = dynamic_cast<const LogTableItem*>(&other);
    if (o == nullptr || (!number_ && !o->number_)) {
      return QTableWidgetItem::operator<(other);
    }
    if (number_ && o->number_) {
      return *number_ < *o->number_;
    }
    return number_.has_value();
  }

 private:
  std::optional<double> number_;
};

namespace {

// Every figure the window can show, in the runner's order: step, harmonic, stability.
constexpr const char* FigureNames[] = {
    "step",           "command_ramp",     "rise_time",     "peak_time",          "peak",
    "overshoot",      "predicted_overshoot", "settling_time_5", "settling_time_2", "steady_state_error",
    "verdict",        "amplitude",        "frequency",     "periods_measured",   "carriage_amplitude",
    "amplitude_ratio", "phase_lag",       "error_amplitude", "steady",           "stable",
    "critical_Kamp",  "critical_frequency"};

// The record's row in the log, kept with the row's first cell through any sorting.
constexpr int RecordRole = Qt::UserRole + 1;

}  // namespace

MeasurementsWindow::MeasurementsWindow(sim::Measurements& m, QChar separator, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_(m),
      separator_(separator),
      box_(std::make_unique<platform::MessageBoxReporter>(this, QApplication::applicationName())),
      reporter_(box_.get()) {
  setObjectName(QStringLiteral("MeasurementsWindow"));
  setWindowTitle(QStringLiteral("Measurements"));
  // Closing the main window ends the program even while this one is shown.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13));
  resize(640, 560);

  auto* layout = new QVBoxLayout(this);
  Heading = new QLabel(this);
  Heading->setObjectName(QStringLiteral("Heading"));
  QFont bold = font();
  bold.setBold(true);
  Heading->setFont(bold);
  Heading->setWordWrap(true);
  layout->addWidget(Heading);
  Failure = new QLabel(this);
  Failure->setObjectName(QStringLiteral("Failure"));
  Failure->setWordWrap(true);
  Failure->setTextFormat(Qt::PlainText);
  QPalette red = Failure->palette();
  red.setColor(QPalette::WindowText, QColor(0xB0, 0, 0));
  Failure->setPalette(red);
  layout->addWidget(Failure);
  Verdict = new QLabel(this);
  Verdict->setObjectName(QStringLiteral("Verdict"));
  Verdict->setWordWrap(true);
  layout->addWidget(Verdict);

  auto* grid = new QGridLayout;
  int row = 0;
  for (const char* name : FigureNames) {
    auto* caption = new QLabel(this);
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    caption->setBuddy(value);
    grid->addWidget(caption, row, 0);
    grid->addWidget(value, row, 1);
    figures_[name] = {caption, value};
    ++row;
  }
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  auto* logHeading = new QLabel(QStringLiteral("Experiment log"), this);
  logHeading->setFont(bold);
  layout->addWidget(logHeading);
  LogTable = new QTableWidget(this);
  LogTable->setObjectName(QStringLiteral("LogTable"));
  LogTable->setAccessibleName(QStringLiteral("Experiment log"));
  // Only the note is the student's to write; a double-click runs the row again instead.
  LogTable->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  LogTable->setContextMenuPolicy(Qt::CustomContextMenu);
  LogTable->installEventFilter(this);
  LogTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  QStringList columns;
  for (const std::string& c : sim::LogColumns()) {
    columns << QString::fromStdString(c);
  }
  LogTable->setColumnCount(static_cast<int>(columns.size()));
  noteColumn_ = static_cast<int>(columns.size()) - 1;
  LogTable->setHorizontalHeaderLabels(columns);
  LogTable->setSortingEnabled(true);
  LogTable->horizontalHeader()->setSortIndicatorShown(true);
  LogTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // the order of the runs
  layout->addWidget(LogTable, 1);

  auto* buttons = new QHBoxLayout;
  CopyButton = new QPushButton(QStringLiteral("&Copy"), this);
  CopyButton->setToolTip(QStringLiteral("Copies the log as tab-separated text, to paste into a spreadsheet"));
  ClearButton = new QPushButton(QStringLiteral("C&lear log"), this);
  SaveButton = new QPushButton(QStringLiteral("&Save as CSV\u2026"), this);
  for (QPushButton* b : {CopyButton, ClearButton, SaveButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  layout->addLayout(buttons);

  connect(CopyButton, &QPushButton::clicked, this, &MeasurementsWindow::CopyClick);
  connect(ClearButton, &QPushButton::clicked, this, &MeasurementsWindow::ClearRequested);
  app::CloseWithKeys(this);
  connect(SaveButton, &QPushButton::clicked, this, &MeasurementsWindow::SaveRequested);
  connect(LogTable, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { emit RepeatRequested(RecordAt(row)); });
  connect(LogTable, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const int row = LogTable->rowAt(at.y());
    if (row >= 0) {
      RowMenu(row)->popup(LogTable->viewport()->mapToGlobal(at));
    }
  });
  connect(LogTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    const auto& records = m_.Log().Records();
    const std::size_t record = RecordAt(item->row());
    // Only the student's own edit, not the table being filled.
    if (!filling_ && item->column() == noteColumn_ && record < records.size() &&
        item->text().toStdString() != records[record].note) {
      emit NoteEdited(record, item->text());
    }
  });
  Refresh();
}

QLabel* MeasurementsWindow::Figure(const std::string& name) const {
  const auto it = figures_.find(name);
  return it != figures_.end() && !it->second.second->isHidden() ? it->second.second : nullptr;
}

void MeasurementsWindow::Refresh() {
  const std::vector<app::FigureRow> rows = app::MeasurementRows(m_);
  // Only the present run's figures; a label keeps its state when it has it already.
  for (auto& [name, labels] : figures_) {
    const bool shown = std::any_of(rows.begin(), rows.end(), [&](const app::FigureRow& r) { return name == r.name; });
    labels.first->setVisible(shown);
    labels.second->setVisible(shown);
  }
  for (const app::FigureRow& row : rows) {
    auto [caption, value] = figures_.at(row.name);
    caption->setText(row.caption);
    value->setText(row.word.isEmpty() ? app::FigureText(row.value, row.unit, separator_) : row.word);
    // The whole number for whoever wants more digits than the window shows.
    value->setToolTip(row.value ? app::FullPrecision(*row.value, separator_) : QString());
    value->setAccessibleName(row.caption);
  }
  const QString research = m_.Measuring() == sim::Measurements::Kind::Step ? QStringLiteral("Stability research")
                                                                            : QStringLiteral("Accuracy research");
  switch (m_.Measuring()) {
    case sim::Measurements::Kind::Step: {
      const sim::StepFigures& f = m_.Step().Figures();
      const std::optional<double> step = m_.Step().Begun() ? std::optional(f.target - f.start) : std::nullopt;
      // A command the marker moved over several ticks is a ramp, and its figures say from when.
      Heading->setText(
          f.ramp > 0
              ? QStringLiteral("%1: a command change of %2 over %3 (a ramp; the rise and the first peak are timed "
                               "from its end, the settling from its start)")
                    .arg(research, app::FigureText(step, "mm", separator_),
                         app::FigureText(f.ramp, "s", separator_))
              : QStringLiteral("%1: a step of %2").arg(research, app::FigureText(step, "mm", separator_)));
      break;
    }
    case sim::Measurements::Kind::Harmonic:
      Heading->setText(QStringLiteral("%1: %2 at %3")
                           .arg(research, app::FigureText(m_.Harmonic().Figures().amplitude, "mm", separator_),
                                app::FigureText(m_.Harmonic().Figures().frequency, "rad/s", separator_)));
      break;
    case sim::Measurements::Kind::None:
      Heading->setText(QStringLiteral("No run yet: release the marker, or press \"Process\" in accuracy research."));
      break;
  }
  const bool failed = !m_.Failure().empty();
  Failure->setVisible(failed);
  Failure->setText(failed ? QStringLiteral("Stopped by an error: %1. The drive's state is lost, so no figure of "
                                           "this run is shown: press Reset to return the drive to rest, then run "
                                           "again.")
                                .arg(QString::fromStdString(m_.Failure()))
                          : QString());
  Verdict->setVisible(m_.Measuring() != sim::Measurements::Kind::None);
  Verdict->setText(app::StabilityVerdict(m_.Stability(), separator_));
  RefreshLog();
}

void MeasurementsWindow::SetRow(std::size_t record, const std::vector<std::string>& fields, bool widen) {
  std::vector<std::string>& shown = shown_[record];
  for (std::size_t c = 0; c < fields.size(); ++c) {
    if (c < shown.size() && shown[c] == fields[c]) {
      continue;
    }
    const std::optional<double> number = app::FieldNumber(fields[c]);
    const QString text = number ? app::FigureText(number, "", separator_) : QString::fromStdString(fields[c]);
    LogTableItem* item = items_[record][c];
    item->Set(text, number);
    item->setToolTip(number ? app::FullPrecision(*number, separator_) : QString());
    item->setTextAlignment(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    if (widen) {
      // Only a text that outgrows its column widens it; no column ever shrinks under the
      // student's eyes, and none is measured over all its rows again.
      const int column = static_cast<int>(c);
      const int wanted = LogTable->sizeHintForIndex(LogTable->model()->index(item->row(), column)).width() +
                         (LogTable->showGrid() ? 1 : 0);
      if (wanted > LogTable->columnWidth(column)) {
        LogTable->setColumnWidth(column, wanted);
      }
    }
  }
  shown = fields;
}

void MeasurementsWindow::RefreshLog() {
  const QScopedValueRollback<bool> filling(filling_, true);
  const sim::ExperimentLog& log = m_.Log();
  const auto& records = log.Records();
  const bool afresh = log.Generation() != shownGeneration_ || records.size() < shown_.size() || shown_.empty();
  if (afresh) {
    shownGeneration_ = log.Generation();
    LogTable->setRowCount(0);
    shown_.clear();
    items_.clear();
    shownFinal_.clear();
    firstOpen_ = 0;
  }
  // Rows only the present run still changes, from the first that is not final; the others
  // stay as shown.
  for (std::size_t r = firstOpen_; r < shown_.size(); ++r) {
    if (!shownFinal_[r]) {
      SetRow(r, sim::LogFields(records[r]), true);
      shownFinal_[r] = log.Final(r);
    }
  }
  while (firstOpen_ < shownFinal_.size() && shownFinal_[firstOpen_]) {
    ++firstOpen_;
  }
  if (records.size() == shown_.size()) {
    return;
  }
  // New rows at the end, sorted in afterwards by whatever column the student chose.
  LogTable->setSortingEnabled(false);
  const int columns = LogTable->columnCount();
  for (std::size_t r = shown_.size(); r < records.size(); ++r) {
    const int row = LogTable->rowCount();
    LogTable->insertRow(row);
    items_.emplace_back();
    for (int c = 0; c < columns; ++c) {
      auto* item = new LogTableItem(QString(), std::nullopt);
      item->setData(RecordRole, static_cast<int>(r));
      item->setFlags(c == noteColumn_ ? item->flags() | Qt::ItemIsEditable : item->flags() & ~Qt::ItemIsEditable);
      LogTable->setItem(row, c, item);
      items_.back().push_back(item);
    }
    shown_.emplace_back();
    SetRow(r, sim::LogFields(records[r]), !afresh);
    shownFinal_.push_back(log.Final(r));
  }
  LogTable->setSortingEnabled(true);
  if (afresh) {
    LogTable->resizeColumnsToContents();
  }
}

std::vector<std::vector<std::string>> MeasurementsWindow::TableRows() const {
  std::vector<std::vector<std::string>> rows{sim::LogColumns()};
  const auto& records = m_.Log().Records();
  for (int r = 0; r < LogTable->rowCount(); ++r) {
    if (const std::size_t record = RecordAt(r); record < records.size()) {
      rows.push_back(sim::LogFields(records[record]));
    }
  }
  return rows;
}

void MeasurementsWindow::CopyClick() {
  QApplication::clipboard()->setText(app::TabSeparated(TableRows(), separator_));
}

std::size_t MeasurementsWindow::RecordAt(int tableRow) const {
  const QTableWidgetItem* first = LogTable->item(tableRow, 0);
  return first != nullptr ? static_cast<std::size_t>(first->data(RecordRole).toInt()) : static_cast<std::size_t>(-1);
}

int MeasurementsWindow::TableRowOf(std::size_t record) const {
  return record < items_.size() ? items_[record][0]->row() : -1;
}

QMenu* MeasurementsWindow::RowMenu(int tableRow) {
  if (rowMenu_ == nullptr) {
    rowMenu_ = new QMenu(this);
    rowMenu_->setObjectName(QStringLiteral("RowMenu"));
  }
  rowMenu_->clear();
  const std::size_t record = RecordAt(tableRow);
  connect(rowMenu_->addAction(QStringLiteral("&Run again with these settings")), &QAction::triggered, this,
          [this, record] { emit RepeatRequested(record); });
  connect(rowMenu_->addAction(QStringLiteral("&Keep as reference")), &QAction::triggered, this,
          [this, record] { emit KeepRequested(record); });
  connect(rowMenu_->addAction(QStringLiteral("Edit &note")), &QAction::triggered, this, [this, record] {
    const int row = TableRowOf(record);
    if (row >= 0) {
      LogTable->setCurrentCell(row, noteColumn_);
      LogTable->editItem(LogTable->item(row, noteColumn_));
    }
  });
  return rowMenu_;
}

bool MeasurementsWindow::eventFilter(QObject* watched, QEvent* event) {
  // Enter on a row runs it again, as a double-click does; while a note is being written its
  // editor has the keys, not the table.
  if (watched == LogTable && event->type() == QEvent::KeyPress && LogTable->currentRow() >= 0) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit RepeatRequested(RecordAt(LogTable->currentRow()));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

std::vector<std::size_t> MeasurementsWindow::ChosenRecords() const {
  const sim::ExperimentLog& log = m_.Log();
  std::vector<std::size_t> chosen;
  // A table not yet refreshed since the log was emptied or replaced shows rows of another log:
  // what is selected in it says nothing about this one.
  if (shownGeneration_ == log.Generation() && shown_.size() <= log.Records().size()) {
    for (const QModelIndex& index : LogTable->selectionModel()->selectedRows()) {
      chosen.push_back(RecordAt(index.row()));
    }
  }
  if (chosen.empty()) {
    chosen.resize(log.Records().size());
    std::iota(chosen.begin(), chosen.end(), std::size_t{0});
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}
