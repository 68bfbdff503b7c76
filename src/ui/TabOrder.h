#pragma once

class QWidget;

// Tab goes through a dialog's fields in reading order, top to bottom and left to right (a
// caption's check box before its text box), whatever order they were made in.
void SetReadingTabOrder(QWidget *dialog);
