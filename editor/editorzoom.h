#ifndef EDITORZOOM_H
#define EDITORZOOM_H

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>

class QPlainTextEdit;

// The zoom of the editor font, shared by every document: a number of points added to the
// editor's 9-point font, kept in the settings under "editorZoom". Ctrl with the mouse wheel
// over an attached editor zooms too.
class EditorZoom : public QObject {
    Q_OBJECT

public:
    enum { BasePointSize = 9, MinStep = -5, MaxStep = 27 };

    explicit EditorZoom(QObject* parent = nullptr);

    static QFont fontFor(int step);
    static int storedStep();

    int step() const { return current; }
    void setStep(int step);
    void zoomIn() { setStep(current + 1); }
    void zoomOut() { setStep(current - 1); }
    void reset() { setStep(0); }

    // Applies the zoom to the editor now and whenever it changes.
    void attach(QPlainTextEdit* editor);

signals:
    void stepChanged(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(QPlainTextEdit* editor) const;

    int current;
    QList<QPointer<QPlainTextEdit>> editors;
};

#endif
