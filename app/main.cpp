// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Program start: the command line first, then the main window, then the hidden
// instructions window, the lab record (journal and window positions) attached to them, then
// the message loop until the main window closes.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/journal.h"
#include "drivelab/version.h"
#include "platform/error_box.h"
#include "platform/fonts.h"

namespace {

void SetUpParser(QCommandLineParser& parser) {
  QCoreApplication::setApplicationVersion(QString::fromLatin1(drivelab::Version));
  parser.setApplicationDescription(QStringLiteral(
      "A teaching simulator of the position drive of a numerically controlled machine tool."));
  parser.addHelpOption();
  parser.addVersionOption();
}

// --help-all lists Qt's own options too, which only a GUI application knows; the offscreen
// platform gives it one without a display. QCommandLineParser prints the help and exits.
[[noreturn]] void ShowAllHelp(int& argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const QApplication application(argc, argv);
  QCommandLineParser parser;
  SetUpParser(parser);
  parser.process(QCoreApplication::arguments());
  std::exit(1);  // not reached
}

// --help and --version are answered before QApplication exists, so they need no display.
// Other arguments are left to QApplication, which takes Qt's own (-style, -platform ...).
std::optional<int> AnswerCommandLine(int& argc, char** argv) {
  {
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    SetUpParser(parser);
    static_cast<void>(parser.parse(QCoreApplication::arguments()));
    if (!parser.isSet(QStringLiteral("help-all"))) {
      if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
      } else if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), drivelab::Version);
      } else {
        return std::nullopt;
      }
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
  }
  // Only one application at a time: the core one is gone before the GUI one lists Qt's options.
  ShowAllHelp(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerCommandLine(argc, argv)) {
    return *status;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(platform::ApplicationTitle(QApplication::applicationFilePath()));
  QApplication::setDesktopFileName(QString::fromLatin1(drivelab::DesktopId));
  QApplication::setStyle(QStringLiteral("Fusion"));
  platform::InstallFontSubstitutes();

  // The experiment journal in the user's data folder, the window positions in the config folder.
  app::LabStore store(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                      QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                          .filePath(QStringLiteral("windows.ini")));
  TForm1 Form1;
  TForm2 Form2;
  Form1.SetInstructionsWindow(&Form2);
  Form1.AttachStore(&store);
  Form1.show();
  Form1.ReopenToolWindows();
  return QApplication::exec();
}
