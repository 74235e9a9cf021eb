#include "Utilities.h"

#include <QApplication>

void BeepDone() { QApplication::beep(); }
void BeepAlert() { QApplication::beep(); }
