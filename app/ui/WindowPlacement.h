// Where windows open.
#pragma once

class QWidget;

// Moves a window so that its frame is centred on the primary screen.
void CentreOnScreen(QWidget* window);
