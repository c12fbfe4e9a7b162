#include "platform/error_box.h"

#include <QFileInfo>
#include <QMessageBox>

namespace platform {

QString ApplicationTitle(const QString& programPath) {
  QString name = QFileInfo(programPath).fileName();
  const qsizetype dot = name.indexOf(u'.');
  if (dot >= 0) {
    name.truncate(dot);
  }
  // The rest in lower case; the first letter a capital, which the lower-case file names
  // of this platform would otherwise never give ("drivelab" is shown as "Drivelab").
  if (!name.isEmpty()) {
    name = name.left(1).toUpper() + name.mid(1).toLower();
  }
  return name;
}

QString BoxMessage(const QString& message) {
  if (!message.isEmpty() && message.back() > u'.') {
    return message + u'.';
  }
  return message;
}

void MessageBoxReporter::ShowError(const QString& message) {
  QMessageBox box(QMessageBox::Critical, title_, BoxMessage(message), QMessageBox::Ok, parent_);
  box.exec();
}

}  // namespace platform
