// The look shared by every window of the program: a fixed (dialog) border, an exact client size,
// and "MS Sans Serif" at 8 points, which falls back to the system's sans serif font.
#pragma once

#include <QFont>
#include <string>

class QWidget;

QFont DialogFont();

// Gives a window its caption, its fixed client size and the dialog font.
void ApplyDialogStyle(QWidget* window, const std::string& caption, int clientWidth, int clientHeight);

// Places a window at the centre of the desktop.
void CentreOnDesktop(QWidget* window);
