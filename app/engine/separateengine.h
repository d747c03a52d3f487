#ifndef SEPARATEENGINE_H
#define SEPARATEENGINE_H

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>

class EngineActivity;
class EngineProcess;
class OutputAppender;
class QAction;
class QByteArray;
class QuorW;
class SlowInputHint;

// Engine > Run Engine in Separate Process (checkable, remembered, off by default) and Engine >
// Restart Engine. While on, the window's inputs go to an engine host process instead of the
// worker, so the window never waits for the engine: the busy indicator follows the host, Stop
// ends it (the next input starts a fresh one), and its messages reach the window's output slot
// as heap blocks, as the worker's do. When the engine or its host ends unexpectedly, the Output
// dock says how and on which input; the window carries on.
class SeparateEngine : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QObject* window;          // signal input(QString, int), slot output(const char*, size_t)
        QuorW* worker;            // takes the window's inputs while this mode is off
        EngineActivity* activity; // busy indicator, Stop and the Engine menu
        QAction* debug;           // Debug > Debug: told to every fresh engine while checked
        OutputAppender* output;   // the Output dock
        SlowInputHint* hint;      // speaks only while the worker takes the inputs
        // Called just before each input is handed to the host, as the worker calls its hand-over
        // hook: the window writes its recovery copies then.
        std::function<void()> beforeHandOver;
    };

    SeparateEngine(const Parts& parts, QObject* parent);

    QAction* modeAction() const { return mode; }
    QAction* restartAction() const { return restart; }
    EngineProcess* process() const { return engine; }
    bool isOn() const;

signals:
    // One engine message from the host: a block of exactly size bytes allocated with new[],
    // owned by the receiver, as QuorW::output hands them over.
    void output(const char* buffer, size_t size);

private slots:
    void forward(const QString& text, int line);

private:
    void setOn(bool on, bool announce);
    void deliver(const QByteArray& bytes);
    void stopEngine();
    void restartEngine();
    void hostStarted();

    Parts parts;
    EngineProcess* engine;
    QAction* mode;
    QAction* restart;
};

#endif
