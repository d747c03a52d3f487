#ifndef ENGINEPROCESS_H
#define ENGINEPROCESS_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>

#include <deque>

// The engine in a process of its own: a client of quorstudio-engine-host. Inputs are written to
// the host and never wait for the engine; the engine's messages come back as signals, in order,
// with their bytes unchanged. The first input starts a host; stop() ends it, and the next input
// starts a fresh one, with an empty engine memory. A host that ends unexpectedly (the engine
// crashed, aborted or exited), or that sends garbage, is reported once through ended() and
// replaced by a fresh one at the next input.
//
// Frames from the host are handled a slice of time at a time, so a flooding engine leaves the
// event loop free between slices.
class EngineProcess : public QObject {
    Q_OBJECT

public:
    // How long a host asked to end may take before it is killed, unless set otherwise.
    static constexpr int StopGraceMs = 1000;
    // Longest time spent on the host's frames before other events get their turn.
    static constexpr int SliceMs = 8;

    explicit EngineProcess(QObject* parent = nullptr);
    // Ends every host this object started, within the stop grace and a kill.
    ~EngineProcess() override;

    // quorstudio-engine-host in the folder of the running program.
    static QString defaultProgram();
    void setProgram(const QString& program) { hostProgram = program; }
    QString program() const { return hostProgram; }
    void setStopGrace(int ms) { stopGraceMs = ms; }

    // True while an input has been written whose process() has not yet returned.
    bool isBusy() const { return !pending.empty(); }
    // How long the engine has been busy without a pause, in milliseconds; 0 when idle.
    qint64 busyMs() const { return isBusy() ? busyClock.elapsed() : 0; }
    // The running host's process id, or 0.
    qint64 processId() const;

public slots:
    // Starts a host when none runs, then writes the input to it.
    void input(const QString& text, int line);
    // Asks the host to end (its input is closed) and kills it after the stop grace. Its inputs
    // and its messages not yet delivered are dropped. Nothing is reported through ended().
    void stop();

signals:
    // One engine message.
    void message(const QByteArray& bytes);
    // process() has returned for the oldest input not yet done.
    void inputDone();
    void busyChanged(bool busy);
    // The host ended unexpectedly: one line saying how (signal, exit status, what it sent
    // wrong) and which input it was working on, such as: Engine ended (signal 11, segmentation
    // fault) while working on the input from line 3 ("<a → b>.").
    void ended(const QString& how);
    // A fresh host has just been started, before the input that needed it is written.
    void hostStarted();

private slots:
    void readable();
    void finished(int exitCode, QProcess::ExitStatus exitStatus);
    void failedToStart(QProcess::ProcessError error);

private:
    struct Pending {
        QString summary;
        int line;
    };

    void startHost();
    void drain(bool all);
    void scheduleDrain();
    bool handle(unsigned char kind, const char* payload, int size);
    void fail(const QString& how);
    void retire(QProcess* process, int graceMs);
    void forgetInputs();
    QString endLine(const QString& how) const;

    QString hostProgram;
    int stopGraceMs = StopGraceMs;
    QProcess* host = nullptr;
    QList<QPointer<QProcess>> retiring; // stopped hosts not yet gone
    quint64 generation = 0;             // counts hosts: what a drain reads belongs to one
    QByteArray incoming;
    int readOffset = 0;
    int drainDepth = 0;
    bool drainScheduled = false;
    bool greeted = false;
    quint32 taken = 0; // messages delivered since the last acknowledgement
    std::deque<Pending> pending;
    QElapsedTimer busyClock;
};

#endif
