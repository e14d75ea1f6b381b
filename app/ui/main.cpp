#include "app/ui/Icons.h"
#include "app/ui/MainWindow.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Stadix");
    // The installed desktop entry: the desktop shows its name and icon for the window.
    QGuiApplication::setDesktopFileName("stadix");
    QApplication::setWindowIcon(ApplicationIcon());
    KeepWindowsOnScreen(application);
    MainWindow form;
    form.ShowStartupSplash();
    form.show();
    form.OpenFromCommandLine(application.arguments().mid(1));
    return application.exec();
}
