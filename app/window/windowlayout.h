#ifndef WINDOWLAYOUT_H
#define WINDOWLAYOUT_H

#include <QObject>

class QDockWidget;
class QMainWindow;
class QTabWidget;

// Keeps the window's size, position and dock arrangement between runs ("windowGeometry",
// "windowState", saved when the window's close is accepted; a first start keeps the built-in
// layout; Find and Replace, `findDock`, is never left open from the last run) and shows the
// current document's name and modified marker in the window title.
class WindowLayout : public QObject {
    Q_OBJECT

public:
    enum { StateVersion = 1 };

    WindowLayout(QMainWindow* window, QTabWidget* tabs, QDockWidget* findDock);

    void save() const;
    // False when nothing usable was stored.
    bool restore();
    void updateTitle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* window;
    QTabWidget* tabs;
    QDockWidget* findDock;
    bool closing = false;
};

#endif
