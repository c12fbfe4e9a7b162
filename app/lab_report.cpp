// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/lab_report.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QInputDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <stdexcept>

#include "app/Unit1.h"
#include "app/frequency_response_window.h"
#include "app/journal.h"
#include "app/measurement_rows.h"
#include "app/measurements_window.h"
#include "platform/fonts.h"
#include "sim/stability.h"

namespace app {

namespace {

// The document's unit is 1/96 inch; fonts and pictures are sized in it.
constexpr qreal UnitsPerInch = 96;
// Below each page's text: the line that says whose report it is and which page.
constexpr qreal FooterHeight = 28;
// Log rows side by side in one table: more would squeeze the figures into wrapped columns.
constexpr std::size_t RowsPerTable = 4;

const QColor BorderColour(0x90, 0x90, 0x90);
const QColor HeaderColour(0xE8, 0xE8, 0xE8);

QFont ReportFont(int pixels, bool bold = false) {
  return platform::LayoutFont(QStringLiteral("Arial"), pixels, bold);
}

QTextCharFormat Characters(int pixels, bool bold = false) {
  QTextCharFormat format;
  format.setFont(ReportFont(pixels, bold));
  return format;
}

// Builds the document block by block; every text goes in as plain text, so a note that
// looks like markup is printed as typed.
class Writer {
 public:
  Writer(QTextDocument& doc, QSizeF page) : doc_(doc), page_(page), cursor_(&doc) {}

  void Paragraph(const QString& text, const QTextCharFormat& format, qreal above = 0, qreal below = 4) {
    QTextBlockFormat block;
    block.setTopMargin(above);
    block.setBottomMargin(below);
    NewBlock(block);
    cursor_.insertText(text, format);
  }

  void Heading(const QString& text) { Paragraph(text, Characters(17, true), 16, 6); }

  // A bordered table; its first row is the header, repeated on every page the table spans.
  QTextTable* Table(int rows, const QList<QTextLength>& widths, qreal percent = 100) {
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderBrush(BorderColour);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(3);
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, percent));
    format.setColumnWidthConstraints(widths);
    format.setBottomMargin(8);
    QTextTable* table = cursor_.insertTable(rows, static_cast<int>(widths.size()), format);
    for (int c = 0; c < table->columns(); ++c) {
      QTextTableCellFormat header;
      header.setBackground(HeaderColour);
      table->cellAt(0, c).setFormat(header);
    }
    cursor_.movePosition(QTextCursor::End);
    return table;
  }

  static void Cell(QTextTable* table, int row, int column, const QString& text, bool number = false) {
    QTextCursor cell = table->cellAt(row, column).firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(number ? Qt::AlignRight : Qt::AlignLeft);
    cell.setBlockFormat(block);
    cell.insertText(text, Characters(12, row == 0));
  }

  // Under its heading, as wide as the text, or less where it would be taller than most of a page.
  void Picture(const QString& heading, const QString& name, const QImage& image) {
    if (image.isNull()) {
      return;
    }
    Heading(heading);
    const int headingBlock = cursor_.block().blockNumber();
    const QUrl url(QStringLiteral("drivelab:") + name);
    // A picture of the screen has nothing to see through: no mask to embed beside it.
    doc_.addResource(QTextDocument::ImageResource, url, image.convertToFormat(QImage::Format_RGB32));
    qreal width = page_.width();
    qreal height = width * image.height() / image.width();
    const qreal most = page_.height() * 0.85;
    if (height > most) {
      width *= most / height;
      height = most;
    }
    QTextImageFormat format;
    format.setName(url.toString());
    format.setWidth(width);
    format.setHeight(height);
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignHCenter);
    NewBlock(block);
    cursor_.insertImage(format);
    pictures_.emplace_back(headingBlock, cursor_.block().blockNumber());
  }

  // A picture that did not fit under its heading went to the next page alone: the heading
  // goes there with it. Laid out once per picture, in order, as each move shifts the rest.
  void KeepHeadingsWithPictures() {
    QAbstractTextDocumentLayout* layout = doc_.documentLayout();
    const auto pageOf = [&](int block, bool end) {
      const QRectF r = layout->blockBoundingRect(doc_.findBlockByNumber(block));
      return static_cast<int>((end ? r.bottom() - 1 : r.top()) / page_.height());
    };
    for (const auto& [heading, picture] : pictures_) {
      if (pageOf(heading, false) != pageOf(picture, true)) {
        QTextCursor at(doc_.findBlockByNumber(heading));
        QTextBlockFormat format = at.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        at.setBlockFormat(format);
      }
    }
  }

 private:
  // The document starts with an empty block: the first paragraph takes it.
  void NewBlock(const QTextBlockFormat& block) {
    if (doc_.isEmpty()) {
      cursor_.setBlockFormat(block);
    } else {
      cursor_.insertBlock(block);
    }
  }

  QTextDocument& doc_;
  QSizeF page_;
  QTextCursor cursor_;
  std::vector<std::pair<int, int>> pictures_;  // block numbers of each heading and its picture
};

void WriteParameters(Writer& w, const LabReport& report) {
  w.Heading(QStringLiteral("Parameters"));
  const auto percent = [](qreal p) { return QTextLength(QTextLength::PercentageLength, p); };
  QTextTable* table =
      w.Table(static_cast<int>(report.parameters.size()) + 2, {percent(60), percent(25), percent(15)}, 70);
  Writer::Cell(table, 0, 0, QStringLiteral("Parameter"));
  Writer::Cell(table, 0, 1, QStringLiteral("Value"), true);
  Writer::Cell(table, 0, 2, QStringLiteral("Unit"));
  Writer::Cell(table, 1, 0, QStringLiteral("Research"));
  Writer::Cell(table, 1, 1, report.research, true);
  int row = 2;
  for (const ReportParameter& p : report.parameters) {
    Writer::Cell(table, row, 0, p.name);
    Writer::Cell(table, row, 1, p.value, true);
    Writer::Cell(table, row, 2, p.unit);
    ++row;
  }
}

// The log's columns down the side and the chosen rows across, a few at a time: a row's 36
// fields would never fit across a page. Fields empty in every row of a table are left out.
void WriteLog(Writer& w, const LabReport& report) {
  w.Heading(QStringLiteral("Experiment log"));
  if (report.rows.empty()) {
    w.Paragraph(QStringLiteral("The log has no rows."), Characters(13));
    return;
  }
  const std::vector<std::string> columns = sim::LogColumns();
  for (std::size_t first = 0; first < report.rows.size(); first += RowsPerTable) {
    const std::size_t count = std::min(RowsPerTable, report.rows.size() - first);
    std::vector<std::vector<std::string>> fields;
    for (std::size_t i = 0; i < count; ++i) {
      fields.push_back(sim::LogFields(report.rows[first + i].record));
    }
    std::vector<std::size_t> shown;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (std::any_of(fields.begin(), fields.end(), [c](const auto& f) { return !f[c].empty(); })) {
        shown.push_back(c);
      }
    }
    QList<QTextLength> widths{QTextLength(QTextLength::PercentageLength, 36)};
    for (std::size_t i = 0; i < count; ++i) {
      widths.append(QTextLength(QTextLength::PercentageLength, 16));
    }
    QTextTable* table = w.Table(static_cast<int>(shown.size()) + 1, widths, 36 + 16 * static_cast<qreal>(count));
    Writer::Cell(table, 0, 0, QStringLiteral("Column"));
    for (std::size_t i = 0; i < count; ++i) {
      Writer::Cell(table, 0, static_cast<int>(i) + 1,
                   QStringLiteral("Row %1").arg(report.rows[first + i].number), true);
    }
    for (std::size_t r = 0; r < shown.size(); ++r) {
      const int row = static_cast<int>(r) + 1;
      Writer::Cell(table, row, 0, QString::fromStdString(columns[shown[r]]));
      for (std::size_t i = 0; i < count; ++i) {
        const std::string& field = fields[i][shown[r]];
        const std::optional<double> number = FieldNumber(field);
        Writer::Cell(table, row, static_cast<int>(i) + 1,
                     number ? FigureText(number, "", report.separator) : QString::fromStdString(field),
                     number.has_value());
      }
    }
  }
}

}  // namespace

std::unique_ptr<QTextDocument> ReportDocument(const LabReport& report, QSizeF page) {
  auto doc = std::make_unique<QTextDocument>();
  doc->setDefaultFont(ReportFont(13));
  doc->setDocumentMargin(0);  // the device's page margins are the report's
  doc->setPageSize(page);
  Writer w(*doc, page);
  w.Paragraph(QStringLiteral("Lab report"), Characters(26, true), 0, 2);
  w.Paragraph(report.title, Characters(16), 0, 10);
  w.Paragraph(QStringLiteral("Student: %1").arg(report.student.isEmpty() ? QStringLiteral("\u2013") : report.student),
              Characters(13), 0, 2);
  w.Paragraph(QStringLiteral("Date: %1").arg(report.date.toString(Qt::ISODate)), Characters(13));

  WriteParameters(w, report);
  w.Heading(QStringLiteral("Stability"));
  w.Paragraph(report.stability ? StabilityVerdict(*report.stability, report.separator)
                               : QStringLiteral("Not judged: %1").arg(report.unjudged),
              Characters(13));
  // The present run beside its parameters; the log, however long, after it.
  w.Picture(QStringLiteral("Oscilloscope"), QStringLiteral("oscilloscope"), report.oscilloscope);
  w.Picture(QStringLiteral("Frequency response"), QStringLiteral("frequency-response"), report.frequencyResponse);
  WriteLog(w, report);
  w.KeepHeadingsWithPictures();
  return doc;
}

void PrintReport(const LabReport& report, QPagedPaintDevice& device) {
  const QSizeF area = device.pageLayout().paintRect(QPageLayout::Inch).size() * UnitsPerInch;
  const QSizeF page(area.width(), area.height() - FooterHeight);
  const std::unique_ptr<QTextDocument> doc = ReportDocument(report, page);
  QPainter painter;
  if (!painter.begin(&device)) {
    throw std::runtime_error("the printer did not start");
  }
  // The oscilloscope's aliased lines stay sharp: no JPEG.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  // Laid out in the document's units, painted at the device's resolution.
  const qreal scale = device.width() / area.width();
  painter.scale(scale, scale);
  const QPageRanges ranges = device.pageRanges();
  const int pages = doc->pageCount();
  bool first = true;
  for (int i = 0; i < pages; ++i) {
    if (!ranges.isEmpty() && !ranges.contains(i + 1)) {
      continue;
    }
    if (!first && !device.newPage()) {
      throw std::runtime_error("the printer refused a new page");
    }
    first = false;
    painter.save();
    painter.translate(0, -i * page.height());
    doc->drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
    painter.restore();
    painter.setFont(ReportFont(10));
    painter.setPen(BorderColour);
    const QRectF footer(0, page.height(), page.width(), FooterHeight);
    const QString whose =
        report.student.isEmpty() ? report.title : report.student + QStringLiteral(", ") + report.title;
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, whose);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("page %1 of %2").arg(i + 1).arg(pages));
  }
  if (!painter.end()) {
    throw std::runtime_error("the printer did not finish the report");
  }
}

QByteArray ReportPdf(const LabReport& report) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(18, 15, 18, 12), QPageLayout::Millimeter);
  writer.setTitle(QStringLiteral("Lab report: ") + report.title);
  writer.setCreator(QStringLiteral("drivelab"));
  PrintReport(report, writer);
  return bytes;
}

}  // namespace app

// The main window's two commands. What goes into the report is taken when the command is
// chosen, before any dialog: the oscilloscope as the student saw it then.

app::LabReport TForm1::ReportInputs() {
  app::LabReport report;
  report.title = windowTitle();
  report.date = QDate::currentDate();
  const bool accuracy = AccuracySelected();
  report.research = accuracy ? RadioButton2->text() : RadioButton1->text();
  report.parameters = {{QStringLiteral("Amplifier gain, Kamp"), Edit1->text(), QString()},
                       {QStringLiteral("Amplifier time constant, Tamp"), Edit2->text(), QStringLiteral("s")},
                       {QStringLiteral("Motor back emf constant, Kmotor"), Edit3->text(), QStringLiteral("sV/rad")},
                       {QStringLiteral("Motor time constant, Tmotor"), Edit4->text(), QStringLiteral("s")},
                       {QStringLiteral("Screw pitch"), Edit5->text(), QStringLiteral("mm")},
                       {QStringLiteral("Feedback coefficient, Kfb"), Edit6->text(), QStringLiteral("V/mm")}};
  if (accuracy) {
    report.parameters.push_back({QStringLiteral("Amplitude"), SpinEdit1->text(), QStringLiteral("mm")});
    report.parameters.push_back({QStringLiteral("Frequency"), SpinEdit2->text(), QStringLiteral("rad/s")});
  }
  // The verdict belongs to the parameters in the table, read as the next run would read them;
  // a text that does not read still leaves a report of everything else.
  try {
    sim::Drive d = drive_;
    ReadParametersInto(d, accuracy);
    report.stability = sim::AssessStability(d);
  } catch (const std::exception& e) {
    report.unjudged = QString::fromUtf8(e.what());
  }
  atFault_ = nullptr;
  const auto& records = measurements_.Log().Records();
  for (const std::size_t i : MeasurementsForm->ChosenRecords()) {
    report.rows.push_back({i + 1, records[i]});
  }
  report.oscilloscope = Chart1->grab().toImage();
  if (FrequencyForm->Finished() != nullptr) {
    report.frequencyResponse = FrequencyForm->Picture();
  }
  report.separator = separator_;
  return report;
}

std::optional<QString> TForm1::StudentName() {
  const QString key = QStringLiteral("report/student");
  const QString known = store_ != nullptr ? store_->Settings().value(key).toString() : studentName_;
  if (!known.isEmpty()) {
    return known;
  }
  std::optional<QString> answer;
  if (askName_) {
    answer = askName_();
  } else {
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Lab report"),
                                               QStringLiteral("Your name, as the report should show it:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok) {
      answer = text;
    }
  }
  if (!answer) {
    return std::nullopt;
  }
  // An empty name makes a report without one, and is asked for again next time.
  const QString name = answer->trimmed();
  if (name.isEmpty()) {
    return name;
  }
  if (store_ != nullptr) {
    store_->Settings().setValue(key, name);
    store_->Settings().sync();
  } else {
    studentName_ = name;
  }
  return name;
}

std::optional<app::LabReport> TForm1::NamedReport() {
  app::LabReport report = ReportInputs();
  const std::optional<QString> student = StudentName();
  if (!student) {
    return std::nullopt;
  }
  report.student = *student;
  return report;
}

void TForm1::ExportReportClick() {
  Guarded([this] {
    const std::optional<app::LabReport> report = NamedReport();
    if (!report) {
      return;
    }
    const QString path = AskFileName(QStringLiteral("Export lab report"), QStringLiteral("lab-report.pdf"),
                                     QStringLiteral("PDF files (*.pdf);;All files (*)"));
    if (!path.isEmpty()) {
      app::WriteFileAtomically(path, app::ReportPdf(*report));
    }
  });
}

void TForm1::PrintClick() {
  Guarded([this] {
    const std::optional<app::LabReport> report = NamedReport();
    if (!report) {
      return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Lab report"));
    const bool chosen =
        choosePrinter_ ? choosePrinter_(printer) : QPrintDialog(&printer, this).exec() == QDialog::Accepted;
    if (!chosen) {
      return;
    }
    try {
      app::PrintReport(*report, printer);
    } catch (const std::exception& e) {
      const QString where = printer.outputFileName().isEmpty() ? printer.printerName()
                                                               : QDir::toNativeSeparators(printer.outputFileName());
      throw std::runtime_error(
          QStringLiteral("Cannot print to %1: %2").arg(where, QString::fromUtf8(e.what())).toStdString());
    }
  });
}
