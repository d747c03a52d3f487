#ifndef INPROCESSENGINE_H
#define INPROCESSENGINE_H

#include "engineconnection.h"

#include <memory>

class QuorW;

// The engine library loaded into the server itself, through the engine worker. Its inputs run
// on the server's thread, and an input that does not end cannot be stopped.
class InProcessEngine : public EngineConnection {
    Q_OBJECT

public:
    explicit InProcessEngine(QObject* parent = nullptr);
    ~InProcessEngine() override;

    void input(const QString& text, int line) override;
    void stop() override;

private:
    std::unique_ptr<QuorW> worker;
};

#endif
