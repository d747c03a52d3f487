#include "mainwindow.h"
#include "quorw.h"
#include "resourceinit.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    // Engine messages cross from the polling thread as output(const char*, size_t).
    registerEngineMetaTypes();

    QApplication app(argc, argv);
    initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/app.png")));

    MainWindow window(QCoreApplication::arguments());
    window.show();
    return app.exec();
}
