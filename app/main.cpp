#include "app/Vazodi_main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Stadix");
    QApplication::setApplicationDisplayName("Stadix");
    TForm1 form;
    form.ShowStartupSplash();
    form.show();
    try {
        form.OpenFromCommandLine(application.arguments().mid(1));
    } catch (const std::exception& failure) {
        QMessageBox::critical(&form, "Stadix", QString::fromLocal8Bit(failure.what()));
    }
    return application.exec();
}
