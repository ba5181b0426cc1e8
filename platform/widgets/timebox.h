#pragma once

#include <QByteArray>

class QLineEdit;
class QWidget;

namespace vek {

// A masked time box "hh:mm:ss": digits only, blanks show as "_".
QLineEdit *makeTimeBox(QWidget *parent);
// The box as shown, blanks as "_" ("12:3_:__").
QByteArray timeBoxText(const QLineEdit *box);

} // namespace vek
