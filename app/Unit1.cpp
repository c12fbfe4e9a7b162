// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLocale>
#include <QMenuBar>
#include <algorithm>
#include <stdexcept>

#include "animation/machine_picture.h"
#include "animation/marker_strip.h"
#include "app/Unit2.h"
#include "app/frequency_response_window.h"
#include "app/root_locus_window.h"
#include "app/keyboard.h"
#include "app/measurements_window.h"
#include "platform/fonts.h"
#include "sim/checked_float.h"
#include "sim/cycle.h"
#include "sim/drive_model.h"

namespace {

// The window's outer size less the frame: borders of 4 and a caption of 19 pixels.
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 27;

QFont ControlFont(bool bold = false) { return platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13, bold); }

}  // namespace

TForm1::TForm1(QChar decimalSeparator, QWidget* parent)
    : QMainWindow(parent), separator_(decimalSeparator), client_(new QWidget(this)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Investigation of drive stability and accuracy"));
  // The icons live in this static library: nothing would pull them into the program.
  Q_INIT_RESOURCE(icons);
  setWindowIcon(QIcon(QStringLiteral(":/icons/drivelab.xpm")));
  setFont(platform::DefaultFont());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, platform::ToQColor(platform::clBtnFace));
  palette.setColor(QPalette::Button, platform::ToQColor(platform::clBtnFace));
  setPalette(palette);
  setAutoFillBackground(true);
  client_->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(client_);
  SetUpMenu();
  move(193, 107);
  resize(723 - FrameWidth, 515 - FrameHeight + menuBar()->sizeHint().height());

  // In creation order: later controls lie above earlier ones where they overlap.
  Image1 = new platform::PictureBox(489, 233, client_);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->move(216, 8);

  Image2 = new MarkerStripBox(217, 41, client_);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->move(425, 152);
  Image2->setCursor(Qt::PointingHandCursor);

  Label16 = MakeLabel(client_, "Label16", {72, 456, 43, 13}, QStringLiteral("Tallberg"));
  Label16->setFont(platform::DefaultFont());
  Label16->adjustSize();
  QPalette gray = Label16->palette();
  gray.setColor(QPalette::WindowText, platform::ToQColor(platform::clGray));
  Label16->setPalette(gray);

  Panel1 = new platform::TPanel(client_);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(2, 152, 207, 257);
  QWidget* initial = Panel1->Client();
  Label1 = MakeLabel(initial, "Label1", {48, 4, 73, 16}, QStringLiteral("Initial data"), true);
  Label2 = MakeLabel(initial, "Label2", {16, 26, 132, 16}, QStringLiteral("Converter amplifier"), true);
  Label3 = MakeLabel(initial, "Label3", {8, 56, 28, 16}, QStringLiteral("Gain"));
  Edit1 = MakeEdit(initial, "Edit1", {152, 48, 41, 24}, QStringLiteral("100"));
  Label4 = MakeLabel(initial, "Label4", {8, 84, 97, 16}, QStringLiteral("Time constant, s"));
  Edit2 = MakeEdit(initial, "Edit2", {152, 76, 41, 24}, platform::WithSeparator(QStringLiteral("0.003"), separator_));
  Label5 = MakeLabel(initial, "Label5", {64, 104, 40, 16}, QStringLiteral("Motor"), true);
  Label6 = MakeLabel(initial, "Label6", {8, 120, 95, 16}, QStringLiteral("Motor back emf "));
  Label15 = MakeLabel(initial, "Label15", {8, 134, 96, 16}, QStringLiteral("constant, sV/rad"));
  Edit3 = MakeEdit(initial, "Edit3", {152, 120, 41, 24}, platform::WithSeparator(QStringLiteral("0.75"), separator_));
  Label7 = MakeLabel(initial, "Label7", {8, 156, 97, 16}, QStringLiteral("Time constant, s"));
  Edit4 = MakeEdit(initial, "Edit4", {152, 148, 41, 24}, platform::WithSeparator(QStringLiteral("0.02"), separator_));
  Label8 = MakeLabel(initial, "Label8", {32, 176, 80, 16}, QStringLiteral("Lead screw"), true);
  Label9 = MakeLabel(initial, "Label9", {8, 192, 94, 16}, QStringLiteral("screw pitch, mm"));
  Edit5 = MakeEdit(initial, "Edit5", {152, 184, 41, 24}, QStringLiteral("8"));
  Label10 = MakeLabel(initial, "Label10", {32, 216, 71, 16}, QStringLiteral("Feedback"), true);
  Label11 = MakeLabel(initial, "Label11", {8, 232, 103, 16}, QStringLiteral("Coefficient, V/mm"));
  Edit6 = MakeEdit(initial, "Edit6", {152, 224, 41, 24}, platform::WithSeparator(QStringLiteral("0.2"), separator_));

  Button1 = MakeButton("Button1", {8, 448, 57, 25}, QStringLiteral("Exit"));
  Button2 = MakeButton("Button2", {8, 416, 57, 25}, QStringLiteral("Pause"));

  Chart1 = new chart::TChart(client_);
  Chart1->setObjectName(QStringLiteral("Chart1"));
  Chart1->setGeometry(216, 248, 489, 225);
  SetUpChart();

  Button3 = MakeButton("Button3", {144, 448, 57, 25}, QStringLiteral("Help"));
  Button4 = MakeButton("Button4", {144, 416, 57, 25}, QStringLiteral("Reset"));

  RadioButton1 = new QRadioButton(QStringLiteral("Stability research"), client_);
  RadioButton2 = new QRadioButton(QStringLiteral("Accuracy research"), client_);
  const struct {
    QRadioButton* button;
    const char* name;
    QRect geometry;
  } radios[] = {{RadioButton1, "RadioButton1", {32, 8, 145, 17}}, {RadioButton2, "RadioButton2", {32, 24, 153, 25}}};
  for (const auto& r : radios) {
    r.button->setObjectName(QString::fromLatin1(r.name));
    r.button->setFont(ControlFont());
    // The substitute font may be a little wider than the layout's: grow to fit, never shrink.
    QRect geometry = r.geometry;
    geometry.setWidth(std::max(geometry.width(), r.button->sizeHint().width()));
    r.button->setGeometry(geometry);
    // Only the selected radio button is a tab stop.
    connect(r.button, &QRadioButton::toggled, r.button, [button = r.button](bool checked) {
      button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
  }
  RadioButton2->setFocusPolicy(Qt::ClickFocus);
  RadioButton1->setChecked(true);

  Panel2 = new platform::TPanel(client_);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setGeometry(2, 48, 207, 97);
  QWidget* harmonic = Panel2->Client();
  Label12 = MakeLabel(harmonic, "Label12", {32, 4, 104, 16}, QStringLiteral("Harmonic input"), true);
  Label13 = MakeLabel(harmonic, "Label13", {8, 32, 88, 16}, QStringLiteral("Amplitude, mm"));
  SpinEdit1 = MakeSpinEdit(harmonic, "SpinEdit1", {144, 24, 49, 26}, 50);
  Label14 = MakeLabel(harmonic, "Label14", {8, 64, 101, 16}, QStringLiteral("Frequency, rad/s"));
  SpinEdit2 = MakeSpinEdit(harmonic, "SpinEdit2", {144, 56, 49, 26}, 1000);

  Button5 = MakeButton("Button5", {72, 416, 65, 25}, QStringLiteral("Process"));

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(10);
  Timer1->setTimerType(Qt::PreciseTimer);

  // The strip must take the focus before it can join the tab order.
  SetUpKeyboard();
  SetUpTabOrder();

  MeasurementsForm = new MeasurementsWindow(measurements_, separator_, this);
  connect(MeasurementsForm, &MeasurementsWindow::SaveRequested, this,
          [this] { SaveLogClick(&MeasurementsForm->Reporter()); });
  connect(MeasurementsForm, &MeasurementsWindow::ClearRequested, this, &TForm1::ClearLogClick);
  connect(MeasurementsForm, &MeasurementsWindow::RepeatRequested, this, &TForm1::RepeatRow);
  connect(MeasurementsForm, &MeasurementsWindow::KeepRequested, this, &TForm1::KeepRowReference);
  connect(MeasurementsForm, &MeasurementsWindow::NoteEdited, this, &TForm1::SetRowNote);
  FrequencyForm = new FrequencyResponseWindow(
      [this] {
        // The drive as "Process" would read it, leaving the run in the main window alone.
        sim::Drive d = drive_;
        ReadParametersInto(d, true);
        return d;
      },
      separator_, this);
  connect(FrequencyForm, &FrequencyResponseWindow::SaveCsvRequested, this, &TForm1::SaveFrequencyResponseCsvClick);
  connect(FrequencyForm, &FrequencyResponseWindow::SavePngRequested, this, &TForm1::SaveFrequencyResponsePngClick);
  connect(FrequencyForm, &FrequencyResponseWindow::SweepFinished, this, &TForm1::LogSweep);
  RootLocusForm = new RootLocusWindow(separator_, this);
  connect(RootLocusForm, &RootLocusWindow::GainChosen, this, &TForm1::LocusGainClick);

  errorBox_ = std::make_unique<platform::MessageBoxReporter>(this, QApplication::applicationName());
  SetErrorReporter(errorBox_.get());

  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
  // On a change of selection only: a click on the selected button changes nothing.
  connect(RadioButton1, &QRadioButton::toggled, this, &TForm1::RadioButton1Click);
  connect(RadioButton2, &QRadioButton::toggled, this, &TForm1::RadioButton2Click);
  connect(Image2, &platform::PictureBox::MouseDown, this, &TForm1::Image2MouseDown);
  connect(Image2, &platform::PictureBox::MouseMove, this, &TForm1::Image2MouseMove);
  connect(Image2, &platform::PictureBox::MouseUp, this, &TForm1::Image2MouseUp);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

  FormCreate();
}

QLabel* TForm1::MakeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text, bool bold) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(ControlFont(bold));
  // Labels size themselves to their text; the layout's widths are its texts' in the
  // original font, and a wider substitute makes the label grow.
  geometry.setWidth(std::max(geometry.width(), QFontMetrics(label->font()).horizontalAdvance(text)));
  label->setGeometry(geometry);
  return label;
}

QLineEdit* TForm1::MakeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFont(ControlFont());
  edit->setGeometry(geometry);
  return edit;
}

QPushButton* TForm1::MakeButton(const char* name, QRect geometry, const QString& text) {
  auto* button = new QPushButton(text, client_);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(ControlFont());
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

platform::TSpinEdit* TForm1::MakeSpinEdit(QWidget* parent, const char* name, QRect geometry, int maxValue) {
  auto* spin = new platform::TSpinEdit(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setFont(ControlFont());
  spin->SetDecimalSeparator(separator_);
  spin->SetMinValue(0);
  spin->SetMaxValue(maxValue);
  spin->SetValue(0);
  spin->setGeometry(geometry);
  return spin;
}

void TForm1::SetUpChart() {
  // The form's description of the chart, applied as it is loaded.
  Chart1->BeginLoading();
  Chart1->SetMarginLeft(1);
  Chart1->SetMarginTop(2);
  Chart1->SetMarginRight(1);
  Chart1->SetMarginBottom(2);
  Chart1->SetColor(platform::clMenu);
  Chart1->Gradient().SetEndColor(platform::clSilver);
  Chart1->Gradient().SetVisible(true);
  chart::TChartFont& titleFont = Chart1->Title().Font();
  titleFont.SetName(QStringLiteral("Tahoma"));
  titleFont.SetHeight(13);
  titleFont.SetBold(true);
  titleFont.SetColor(platform::clBlue);
  Chart1->Title().SetText({QStringLiteral("Oscilloscope")});
  // A brush colour makes the back wall's brush solid; the wall itself is black.
  Chart1->BackWall().Brush().SetColor(platform::clWhite);
  Chart1->BackWall().SetColor(platform::clBlack);
  Chart1->SetBackColor(platform::clBlack);
  Chart1->Legend().SetVisible(false);
  // Shown only over kept traces: the plot's black, the grid's grey.
  Chart1->Legend().SetColor(platform::clBlack);
  Chart1->Legend().Font().SetColor(platform::clSilver);
  Chart1->SetView3D(false);

  const chart::TChartFont labelsFont(QStringLiteral("Arial"), 12, platform::clBlack);
  const auto setTitle = [](chart::TChartAxis& axis, const char* caption, int angle, platform::TColor color) {
    axis.Title().SetCaption(QString::fromLatin1(caption));
    axis.Title().SetAngle(angle);
    axis.Title().Font() = chart::TChartFont(QStringLiteral("Tahoma"), 13, color);
  };
  chart::TChartAxis& bottom = Chart1->BottomAxis();
  bottom.LabelsFont() = labelsFont;
  setTitle(bottom, "Time, s", 0, platform::clBlack);
  // Both vertical axes are fixed at -120..120 mm; the right one reads upwards too.
  for (chart::TChartAxis* axis : {&Chart1->LeftAxis(), &Chart1->RightAxis()}) {
    axis->SetAutomatic(false);
    axis->SetAutomaticMaximum(false);
    axis->SetAutomaticMinimum(false);
    axis->SetMaximum(120);
    axis->SetMinimum(-120);
    axis->LabelsFont() = labelsFont;
  }
  setTitle(Chart1->LeftAxis(), "Carriage moving, mm", 90, platform::clBlue);
  setTitle(Chart1->RightAxis(), "Preset moving, mm", 90, platform::clGreen);
  Chart1->SetLabelSeparators(QString(separator_), QLocale::system().groupSeparator());

  // The three traces; their points bring their own colours, so these never show.
  Series1 = std::make_unique<chart::TLineSeries>();
  Series2 = std::make_unique<chart::TLineSeries>();
  Series3 = std::make_unique<chart::TLineSeries>();
  const struct {
    chart::TLineSeries* series;
    platform::TColor color;
    chart::TVertAxis vertAxis;
  } series[] = {{Series1.get(), 0x80FFFF, chart::aLeftAxis},
                {Series2.get(), platform::clLime, chart::aRightAxis},
                {Series3.get(), 0x8080FF, chart::aLeftAxis}};
  for (std::size_t i = 0; i < std::size(series); ++i) {
    chart::TLineSeries& s = *series[i].series;
    s.SetSeriesColor(series[i].color);
    s.SetVertAxis(series[i].vertAxis);
    s.Marks().ArrowLength = 8;
    s.Marks().Visible = false;
    s.Pointer().Style = chart::psRectangle;
    s.Pointer().InflateMargins = true;
    s.SetParentChart(Chart1);
    traces_[i].Attach(&s);
  }
  Chart1->EndLoading();
}

void TForm1::SetUpTabOrder() {
  // The strip is stability research's input as the harmonic group is accuracy research's:
  // it takes the same place in the order, and only one of the two is ever a stop.
  const QList<QWidget*> order = {Edit1,   Edit2,   Edit3,        Edit4,        Edit5,     Edit6,
                                 Button1, Button2, Chart1,       Button3,      Button4,   RadioButton1,
                                 RadioButton2, Image2, SpinEdit1, SpinEdit2,   Button5};
  for (qsizetype i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

// The handlers below run through Guarded; the helpers they call may throw.

void TForm1::FormCreate() {
  Guarded([this] {
    drive_.MarkerX = sim::MarkerCentre;
    if (RadioButton1->isChecked()) {
      Panel2->hide();
      Button5->hide();
      DrawMarker();
    }
    if (RadioButton2->isChecked()) {
      Panel2->show();
      Button5->show();
    }
    DrawMachine();
    DrawScrewAndCarriage();
    sim::SetUpTimeBase(drive_);
  });
}

void TForm1::Button1Click() {
  Guarded([this] { close(); });
}

void TForm1::Button2Click() {
  Guarded([this] { SetTimerEnabled(false); });
}

void TForm1::Button3Click() {
  Guarded([this] {
    if (Form2 != nullptr) {
      Form2->show();
      Form2->raise();
      Form2->activateWindow();
    }
  });
}

void TForm1::Button4Click() {
  Guarded([this] { ResetAll(); });
}

void TForm1::Button5Click() {
  const bool done = Guarded([this] {
    ReadParameters(true);
    RefuseAfterError();
    EndingRun([this] { measurements_.BeginHarmonic(drive_); });
    harmonicStart_ = drive_.TraceTime[sim::TraceNewest];
    PlotReferences();
    RefreshMeasurements();
    SetTimerEnabled(true);
  });
  if (!done) {
    FocusAtFault();
  }
}

void TForm1::RadioButton1Click() {
  Guarded([this] {
    if (RadioButton1->isChecked()) {
      Panel2->hide();
      Button5->hide();
      ResetAll();
    }
  });
}

void TForm1::RadioButton2Click() {
  Guarded([this] {
    if (RadioButton2->isChecked()) {
      Panel2->show();
      Button5->show();
      ResetAll();
    }
  });
}

void TForm1::Image2MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/, int /*x*/, int /*y*/) {
  Guarded([this] {
    if (RadioButton1->isChecked()) {
      drive_.Dragging = true;
    }
  });
}

void TForm1::Image2MouseMove(Qt::KeyboardModifiers /*shift*/, int x, int /*y*/) {
  Guarded([this, x] {
    if (drive_.Dragging) {
      drive_.MarkerX = std::clamp(x, MarkerMin, MarkerMax);
      DrawMarker();
    }
  });
}

void TForm1::Image2MouseUp(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/, int /*x*/, int /*y*/) {
  const bool done = Guarded([this] {
    // A release ends the drag whatever the reading does: a marker that followed a
    // pointer with no button held would surprise anyone.
    const bool dragging = drive_.Dragging;
    drive_.Dragging = false;
    const bool running = Timer1->isActive();
    ReadParameters(false);
    if (dragging) {
      RefuseAfterError();
      EndingRun([&] { measurements_.BeginStep(drive_, drive_.MarkerX - sim::MarkerCentre, running); });
      SetTimerEnabled(true);
    } else if (measurements_.Measuring() == sim::Measurements::Kind::Harmonic && !stoppedOnError_) {
      // New coefficients under the running sine: a new run.
      EndingRun([this] { measurements_.BeginHarmonic(drive_); });
      harmonicStart_ = drive_.TraceTime[sim::TraceNewest];
    }
    PlotReferences();
    RefreshMeasurements();
  });
  if (!done) {
    FocusAtFault();
  }
}

void TForm1::Timer1Timer() {
  Guarded([this] {
    try {
      sim::RunTimerTick(drive_, *this, &measurements_);
    } catch (const std::exception& e) {
      stoppedOnError_ = true;
      measurements_.Fail(e.what());
      RefreshMeasurements();
      throw;
    }
    history_.Record(drive_);
    PlotReferences();
    RefreshMeasurements();
  });
}

void TForm1::RefuseAfterError() const {
  if (stoppedOnError_) {
    throw std::runtime_error(
        "The last run stopped on a floating-point error, which leaves the drive's state unusable: press Reset to "
        "return it to rest, then start the run again");
  }
}

void TForm1::FocusAtFault() {
  if (auto* box = qobject_cast<QLineEdit*>(atFault_)) {
    box->window()->activateWindow();
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
  }
  atFault_ = nullptr;
}

void TForm1::ReadParameters(bool accuracy) {
  ReadParametersInto(drive_, accuracy);
  RootLocusForm->SetParameters(sim::ParametersOf(drive_));
}

void TForm1::ReadParametersInto(sim::Drive& d, bool accuracy) const {
  // Each reading names its box first, so that a failure leaves the box at fault known.
  const auto real = [this](QLineEdit* edit) {
    atFault_ = edit;
    return platform::ReadReal(edit->text(), separator_);
  };
  sim::Parameters p;
  p.Kamp = real(Edit1);
  p.Tamp = real(Edit2);
  // "Process" takes the reciprocal of the value as read, before it is rounded to a double.
  atFault_ = Edit3;
  p.Kmotor = accuracy ? sim::Store(sim::Ext(1) / platform::ReadExtended(Edit3->text(), separator_)) : real(Edit3);
  p.Tmotor = real(Edit4);
  p.Pitch = real(Edit5);
  p.Kfb = real(Edit6);
  std::int32_t amplitude = 0;
  std::int32_t frequency = 0;
  if (accuracy) {
    // The amplitude used is one more than the number shown. The spin edit keeps its text
    // within 0..50 once the focus leaves it; a text set past it wraps rather than overflows.
    atFault_ = SpinEdit1;
    amplitude = static_cast<std::int32_t>(static_cast<std::int64_t>(platform::ReadInteger(SpinEdit1->text())) + 1);
    atFault_ = SpinEdit2;
    frequency = platform::ReadInteger(SpinEdit2->text());
  }
  // Every text read: a failure from here on is the drive's, not a box's.
  atFault_ = nullptr;
  sim::ApplyParameters(d, p);
  if (accuracy) {
    d.Amplitude = amplitude;
    d.Frequency = frequency;
  }
}

void TForm1::ResetAll() {
  EndingRun([this] {
    sim::ResetDrive(drive_, *this);
    measurements_.Stop();
  });
  stoppedOnError_ = false;
  history_.Clear();
  PlotReferences();
  RefreshMeasurements();
}

bool TForm1::StabilitySelected() const { return RadioButton1->isChecked(); }

bool TForm1::AccuracySelected() const { return RadioButton2->isChecked(); }

// The strip and the band are drawn from these values alone: a tick that leaves them as they
// were changes nothing on the screen, and a change repaints only its own part.
void TForm1::DrawMarker() {
  if (markerDrawn_ == drive_.MarkerX) {
    return;
  }
  animation::DrawMarker(Image2->Canvas(), drive_.MarkerX);
  markerDrawn_ = drive_.MarkerX;
  Image2->update();
}

void TForm1::DrawMachine() {
  animation::DrawMachine(Image1->Canvas());
  screwDrawn_.reset();
  Image1->update();
}

void TForm1::DrawScrewAndCarriage() {
  const std::pair now{drive_.CarriageX, drive_.ScrewPhase};
  if (screwDrawn_ == now) {
    return;
  }
  screwPainter_.Draw(Image1->Canvas(), drive_.CarriageX, drive_.ScrewPhase);
  screwDrawn_ = now;
  Image1->update(animation::ScrewAndCarriageBand);
}

int TForm1::TraceSeriesAdapter::AddXY(double x, double y, std::string_view label, std::uint32_t colour) {
  // The traces carry no labels: no string to make for them.
  if (label.empty()) {
    return series_->AddXY(x, y, colour);
  }
  return series_->AddXY(x, y, QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())), colour);
}

void TForm1::SetTimerEnabled(bool enabled) {
  // Enabling a running timer leaves its rhythm alone, as "Process" pressed twice must.
  if (!enabled) {
    Timer1->stop();
  } else if (!Timer1->isActive()) {
    Timer1->start();
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  measurements_.Finish();
  if (!KeepLog()) {
    const QString question = QStringLiteral(
        "The experiment log could not be kept on disk, so the runs since the last good write would be lost. "
        "Close all the same?\n\nTo keep them, answer No and use File, Save experiment log as CSV.");
    if (!reporter_->Ask(question)) {
      event->ignore();
      return;
    }
  }
  SaveWindowSettings();
  // The further windows go with the main window.
  if (Form2 != nullptr) {
    Form2->close();
  }
  MeasurementsForm->close();
  FrequencyForm->close();
  RootLocusForm->close();
  QMainWindow::closeEvent(event);
}
