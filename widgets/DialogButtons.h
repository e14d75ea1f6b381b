#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

// The "OK" (default, accepts) and "Cancel" (rejects) buttons of a dialog, at the right
// of a row for the dialog's layout.
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = nullptr;
};

DialogButtons AddOkCancelButtons(QDialog* dialog);
