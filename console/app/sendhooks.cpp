// Where the send engine and the receive display meet the window. The window
// routes the Send button, its check boxes and timers 1, 2 and 3 here; the
// engine fills these in.

#include "console/app/consoledialog.h"

// Button 1003 and menu command 32781.
void TestConsoleDialog::onSendClicked() {}

// Timer 1: the next copy of a timed run.
void TestConsoleDialog::onSendTimer() {}

// Timer 3: the busy animation.
void TestConsoleDialog::onAnimationTimer() {}

// Timer 2: bytes the printer sent back, appended to the receive area.
void TestConsoleDialog::onReceivePoll() {}

// Check boxes 1068 "定时发送", 1071 "添加编号" and 1004 "十六进制发送".
void TestConsoleDialog::onTimedSendClicked() {}
void TestConsoleDialog::onNumberingClicked() {}
void TestConsoleDialog::onHexSendClicked() {}
