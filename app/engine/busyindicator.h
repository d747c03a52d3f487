#ifndef BUSYINDICATOR_H
#define BUSYINDICATOR_H

#include <QString>
#include <QWidget>

// One line of text in the status bar, drawn by the widget itself: the status bar's own label
// stays the only label there.
class BusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    const QString& text() const { return shown; }
    void setText(const QString& text);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown;
};

#endif
