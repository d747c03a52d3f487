#include "inprocessengine.h"

#include "quorw.h"

InProcessEngine::InProcessEngine(QObject* parent) : EngineConnection(parent)
{
    registerEngineMetaTypes();
    worker = std::make_unique<QuorW>();
    connect(worker.get(), &QuorW::output, this, [this](const char* buffer, size_t size) {
        QuorW::takeOver(buffer);
        const QByteArray bytes(buffer, int(size));
        delete[] buffer;
        emit message(bytes);
    });
}

InProcessEngine::~InProcessEngine() = default;

void InProcessEngine::input(const QString& text, int line)
{
    if (!worker->hasEngine()) {
        emit ended(tr("the engine library created no engine"));
        return;
    }
    worker->input(text, line);
}

void InProcessEngine::stop() {}
