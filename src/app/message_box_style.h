// the old message box style numbers turned into a Qt message box's look, and its answer back
#pragma once

#include <QMessageBox>

namespace corvane {

struct MessageBoxLook {
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

MessageBoxLook LookOfStyle(int style);
// the old answer number (1 OK ... 7 No) for the button pressed; Cancel's 2 for anything else
int AnswerOfButton(QMessageBox::StandardButton button);

} // namespace corvane
