// Program start: the command line first, then the main window, then the hidden
// instructions window, the lab record (journal and window positions) attached to them, then
// the message loop until the main window closes.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <optional>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/journal.h"
#include "drivelab/version.h"
#include "platform/error_box.h"
#include "platform/fonts.h"

namespace {

// --help and --version are answered before QApplication exists, so they need no display.
// Other arguments are left to QApplication, which takes Qt's own (-style, -platform ...).
std::optional<int> AnswerCommandLine(int& argc, char** argv) {
  const QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationVersion(QString::fromLatin1(drivelab::Version));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "A teaching simulator of the position drive of a numerically controlled machine tool."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  static_cast<void>(parser.parse(QCoreApplication::arguments()));
  if (parser.isSet(help)) {
    std::fputs(qPrintable(parser.helpText()), stdout);
  } else if (parser.isSet(version)) {
    std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), drivelab::Version);
  } else {
    return std::nullopt;
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
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
