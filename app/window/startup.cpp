#include "startup.h"

#include "appinfo.h"
#include "quorw.h"
#include "resourceinit.h"

#include <QApplication>
#include <QIcon>

void prepareProcess()
{
    registerEngineMetaTypes();
    // Widgets only: no OpenGL integration, unless the user asks for one explicitly.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

void prepareApplication()
{
    setApplicationIdentity();
    initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/app.png")));
}
