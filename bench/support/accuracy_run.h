// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The main window in accuracy research, run by hand: amplitude 51 mm at 20 rad/s, and the
// timer stopped so that the benchmark calls each tick itself.

#include <QString>

#include "app/Unit1.h"

inline void StartAccuracy(TForm1& form, int ticks = 0) {
  form.RadioButton2->setChecked(true);
  form.SpinEdit1->setText(QStringLiteral("50"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  form.Button5Click();
  form.Timer1->stop();
  for (int i = 0; i < ticks; ++i) {
    form.Timer1Timer();
  }
}

// Four runs at rising gains kept as references, each with its error trace, and a fifth run
// live: eight more traces under the live ones, and the legend.
inline void KeepFourReferences(TForm1& form) {
  for (const char* gain : {"100", "400", "700", "1000", "1900"}) {
    form.Edit1->setText(QString::fromLatin1(gain));
    form.Button5Click();
    form.Timer1->stop();
    for (int i = 0; i < 300; ++i) {
      form.Timer1Timer();
    }
    if (form.References().size() < 4) {
      form.KeepReferenceClick();
    }
  }
}
