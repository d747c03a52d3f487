#ifndef KEYPADSHORTCUT_H
#define KEYPADSHORTCUT_H

#include <QObject>
#include <QPointer>
#include <QVector>

class QAction;
class QWidget;

// Ctrl with a key of the numeric keypad, for an action, whatever Num Lock says: the keypad's 0
// comes as Qt::Key_0 with Num Lock on and as Qt::Key_Insert with it off, both flagged as keypad
// keys. The X11 shortcut map loses that flag, so a shortcut such as Ctrl+Num+0 never matches
// there and the focused editor types "0" instead; the keys are therefore taken on their way to
// any widget of the window.
class KeypadShortcut : public QObject {
    Q_OBJECT

public:
    // `keys` are the keypad key's codes with Num Lock on and off.
    KeypadShortcut(QWidget* window, QAction* action, const QVector<int>& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window;
    QPointer<QAction> action;
    QVector<int> keys;
};

#endif
