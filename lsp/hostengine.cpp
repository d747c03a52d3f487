#include "hostengine.h"

HostEngine::HostEngine(QObject* parent) : EngineConnection(parent)
{
    connect(&process, &EngineProcess::message, this, &EngineConnection::message);
    connect(&process, &EngineProcess::ended, this, &EngineConnection::ended);
}
