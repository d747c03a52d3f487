#ifndef ENGINECONNECTION_H
#define ENGINECONNECTION_H

#include <QByteArray>
#include <QObject>
#include <QString>

// The engine as the language server uses it: inputs go in, in order, and every message the
// engine sends comes out in the order sent.
class EngineConnection : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Hands one input to the engine, `line` being the line its first line is counted from.
    virtual void input(const QString& text, int line) = 0;
    // Ends whatever the engine is doing; the next input finds an engine with an empty memory.
    // Messages of the inputs given before may still arrive.
    virtual void stop() = 0;

signals:
    void message(const QByteArray& message);
    // The engine went away by itself (it crashed, or could not be started), said in a
    // sentence; the next input starts it again.
    void ended(const QString& reason);
};

#endif
