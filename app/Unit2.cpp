// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Unit2.h"

#include <QIcon>
#include <QStringList>

#include "app/keyboard.h"
#include "platform/colors.h"
#include "platform/fonts.h"

namespace {

// The window's outer size less the frame: borders of 4 and a caption of 19 pixels.
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 27;

}  // namespace

QString TForm2::InstructionsText() {
  // Spaces at the ends of lines belong to the text.
  static const QStringList lines = {
      QStringLiteral("     The program is designed to study the stability and accuracy "),
      QStringLiteral("of the automatic control system (feed drive) of a CNC machine."),
      QStringLiteral("To work with the program, first select the type of research "),
      QStringLiteral("(stability or accuracy), and then in the windows of the main "),
      QStringLiteral("interface set the initial data of the automatic control system."),
      QString(),
      QStringLiteral("Stability research."),
      QStringLiteral("Use the mouse to move the red rectangle in the graphics "),
      QStringLiteral("window to any side and release the mouse. This command "),
      QStringLiteral("represents the position to which the carriage needs to be "),
      QStringLiteral("moved."),
      QStringLiteral("The regulation process is reflected on the oscilloscope screen "),
      QStringLiteral("with two signals: the actual carriage movement is the aqua line, "),
      QStringLiteral("the specified carriage movement is the yellow-green line."),
      QString(),
      QStringLiteral("Accuracy research."),
      QStringLiteral("In this type of research, additional windows appear on the main "),
      QStringLiteral("interface for setting the amplitude and frequency of the "),
      QStringLiteral("harmonic input signal, as well as the \"Process\" button."),
      QStringLiteral("After setting the amplitude and frequency for simulation, click "),
      QStringLiteral("the \"Process\" button. In the animation window, the red rectangle "),
      QStringLiteral("moves in harmonic law, and the specified movement is "),
      QStringLiteral("shown on the oscilloscope - the yellow-green line, the carriage "),
      QStringLiteral("movement - the aqua line and the error - the orange line."),
      QString(),
      QStringLiteral("The oscilloscope, Pause, Reset and Measurements."),
      QStringLiteral("On the oscilloscope, drag with the left mouse button down and "),
      QStringLiteral("to the right to zoom in, and up or to the left to undo the zoom "),
      QStringLiteral("(View, Reset zoom does the same); drag with the right button to "),
      QStringLiteral("scroll, and turn the wheel to shift the millimetre scales. While "),
      QStringLiteral("zoomed or scrolled, the time scale stands still."),
      QStringLiteral("\"Pause\" stops the simulation where it stands; releasing the red "),
      QStringLiteral("rectangle, or \"Process\", goes on from there. \"Reset\" returns the "),
      QStringLiteral("drive, the pictures and the oscilloscope to rest."),
      QStringLiteral("View, Measurements (Ctrl+M) shows the present run's figures "),
      QStringLiteral("(rise time, overshoot, settling time; amplitude ratio, phase lag), "),
      QStringLiteral("whether the drive is stable and its critical gain, and a log of "),
      QStringLiteral("the runs to copy into a spreadsheet or save as CSV."),
      QStringLiteral("Without a mouse: Tab to the red rectangle, move it with the "),
      QStringLiteral("arrow keys (Shift: 10 mm) and press Enter; in accuracy "),
      QStringLiteral("research, Enter in any box presses \"Process\"."),
      QString(),
      QStringLiteral("The pace of the simulation."),
      QStringLiteral("Each 10 ms tick of the clock moves the drive on by 0.002 s "),
      QStringLiteral("of model time: the simulation runs at a fifth of real "),
      QStringLiteral("time, and one second on the clock is 0.2 s on the "),
      QStringLiteral("oscilloscope's time scale. The machine is not slow; it is "),
      QStringLiteral("shown slowed down."),
      QString(),
      QStringLiteral("A step taken while the drive runs."),
      QStringLiteral("While the drive runs, every tick takes the red rectangle's "),
      QStringLiteral("place as the command at once. The step in the Measurements "),
      QStringLiteral("window is the change of that command, from where it stood "),
      QStringLiteral("before the rectangle first moved to where it is released; "),
      QStringLiteral("from rest, it runs from where the carriage stands. A "),
      QStringLiteral("command that moved over several ticks is a ramp: its rise "),
      QStringLiteral("time and first peak are timed from the ramp's end, its "),
      QStringLiteral("settling times from its start."),
      QString(),
      QStringLiteral("The experiment log and the File menu."),
      QStringLiteral("Every run becomes a row of the experiment log, which is "),
      QStringLiteral("kept on disk as each row is final and comes back at the "),
      QStringLiteral("next start, with the windows where you left them. File, "),
      QStringLiteral("New log (and Clear log in the Measurements window) keeps "),
      QStringLiteral("the old rows in a dated file that File, Open log brings "),
      QStringLiteral("back. File also saves the traces and the log as CSV, and "),
      QStringLiteral("the oscilloscope as a picture. A run stopped by a "),
      QStringLiteral("floating-point error is logged as stopped, with no "),
      QStringLiteral("figures: press Reset before the next run."),
      QString(),
      QStringLiteral("Frequency response."),
      QStringLiteral("View, Frequency response (Ctrl+B) runs accuracy research "),
      QStringLiteral("at many frequencies from rest, 0.1 to 1000 rad/s, with the "),
      QStringLiteral("parameters and the amplitude of the main window, and draws "),
      QStringLiteral("the measured ratio and lag as red squares beside the "),
      QStringLiteral("theory of the loop, a line. Its summary says which figures "),
      QStringLiteral("are measured and which are theory."),
      QString(),
      QStringLiteral("Root locus."),
      QStringLiteral("View, Root locus (Ctrl+R) draws where the loop's three poles "),
      QStringLiteral("go as the gain grows: crosses where they start, orange dots "),
      QStringLiteral("at the present gain, red where the loop no longer settles. "),
      QStringLiteral("Point at a branch to read its gain and damping; a click "),
      QStringLiteral("puts that gain in the Gain box for the next run."),
      QString(),
      QStringLiteral("Escape or Ctrl+W closes the Instructions, Measurements, "),
      QStringLiteral("Frequency response and Root locus windows."),
      QString(),
  };
  return lines.join(u'\n');
}

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Instructions"));
  Q_INIT_RESOURCE(icons);
  setWindowIcon(QIcon(QStringLiteral(":/icons/instructions.xpm")));
  // Close box only: no minimise or maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  // Closing the main window ends the program even while this one is shown.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFont(platform::DefaultFont());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, platform::ToQColor(platform::clBtnFace));
  setPalette(palette);
  setAutoFillBackground(true);
  move(192, 107);
  resize(415 - FrameWidth, 543 - FrameHeight);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(8, 8, 393, 465);
  Memo1->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13));
  QPalette memoPalette = Memo1->palette();
  memoPalette.setColor(QPalette::Base, platform::ToQColor(platform::RGB(255, 255, 215)));
  memoPalette.setColor(QPalette::Text, platform::ToQColor(platform::clBlack));
  Memo1->setPalette(memoPalette);
  Memo1->setReadOnly(true);
  Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setPlainText(InstructionsText());
  Memo1->moveCursor(QTextCursor::Start);
  app::CloseWithKeys(this);
}
