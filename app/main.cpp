#include "app/Icons.h"
#include "app/Vazodi_main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Stadix");
    QApplication::setWindowIcon(ApplicationIcon());
    TForm1 form;
    form.ShowStartupSplash();
    form.show();
    form.OpenFromCommandLine(application.arguments().mid(1));
    return application.exec();
}
