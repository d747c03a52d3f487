#ifndef HOSTENGINE_H
#define HOSTENGINE_H

#include "engineconnection.h"
#include "engineprocess.h"

// The engine in a process of its own, through quorstudio-engine-host (EngineProcess): a run
// that does not end can be stopped, and an engine that crashes takes only its host with it.
class HostEngine : public EngineConnection {
    Q_OBJECT

public:
    explicit HostEngine(QObject* parent = nullptr);

    void input(const QString& text, int line) override { process.input(text, line); }
    void stop() override { process.stop(); }

private:
    EngineProcess process;
};

#endif
