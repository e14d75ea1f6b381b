#include "app/ui/Icons.h"
#include "app/ui/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Stadix");
    QApplication::setWindowIcon(ApplicationIcon());
    MainWindow form;
    form.ShowStartupSplash();
    form.show();
    form.OpenFromCommandLine(application.arguments().mid(1));
    return application.exec();
}
