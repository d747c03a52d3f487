#ifndef SLOWINPUTHINT_H
#define SLOWINPUTHINT_H

#include <QElapsedTimer>
#include <QObject>

class QStatusBar;

// While the engine runs in the window's own process, an input that held the window for more
// than ThresholdMs is followed, once per session, by a note in the status bar: Engine > Run
// Engine in Separate Process keeps the window responsive.
//
// How long an input held the window is measured from the start of the event that sent it (a key
// press, a menu click) to its return from the engine: nothing else is delivered meanwhile, since
// the engine works on the window's thread. Once the note has been shown, nothing is watched.
class SlowInputHint : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 ThresholdMs = 2000;

    // `window` sends the inputs (signal input(QString, int)), connected to the engine before
    // this object is made.
    SlowInputHint(QObject* window, QStatusBar* statusBar, QObject* parent);

    // Off while the inputs go elsewhere.
    void setActive(bool on);
    bool hasSpoken() const { return spoken; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void inputReturned();

private:
    void watch(bool on);

    QStatusBar* statusBar;
    QElapsedTimer sinceEvent;
    bool active = true;
    bool spoken = false;
    bool watching = false;
};

#endif
