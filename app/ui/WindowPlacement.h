// Where windows open: on the available area of the screen (without its panels), at
// any scale, so that their title bars and controls can be reached.
#pragma once

class QApplication;
class QWidget;

// Fits a window into the available area of its screen and centres it there.
void CentreOnScreen(QWidget* window);

// Shrinks and moves a window as little as needed for it to lie within the available
// area of its screen. One that cannot shrink enough keeps its top left corner, and so
// its title bar, on the screen.
void KeepOnScreen(QWidget* window);

// Keeps every window and dialog of the application on the screen as it is shown.
void KeepWindowsOnScreen(QApplication& application);
