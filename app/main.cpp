#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();

    MainWindow window(QCoreApplication::arguments());
    window.show();
    return app.exec();
}
