// Where windows open: on the available area of the screen (without its panels), at
// any scale, so that their title bars and controls can be reached.
#pragma once

class QApplication;
class QWidget;

// Fits a window into the available area of its screen and centres it there.
void CentreOnScreen(QWidget* window);

// Keeps every window and dialog of the application on the screen as it is shown, and
// as it grows.
void KeepWindowsOnScreen(QApplication& application);
