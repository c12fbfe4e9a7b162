// Program start: the main window first, then the hidden instructions window, then the
// message loop until the main window closes.
#include <QApplication>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "platform/error_box.h"
#include "platform/fonts.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(platform::ApplicationTitle(QApplication::applicationFilePath()));
  QApplication::setStyle(QStringLiteral("Fusion"));
  platform::InstallFontSubstitutes();

  TForm1 Form1;
  TForm2 Form2;
  Form1.SetInstructionsWindow(&Form2);
  Form1.show();
  return QApplication::exec();
}
