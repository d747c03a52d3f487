#include "editorzoom.h"

#include "settings.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QWheelEvent>

EditorZoom::EditorZoom(QObject* parent) : QObject(parent), current(storedStep()) {}

QFont EditorZoom::fontFor(int step)
{
    return QFont(QStringLiteral("DejaVu Sans"), BasePointSize + step);
}

int EditorZoom::storedStep()
{
    return qBound(int(MinStep), SettingsStore().value(Settings::EditorZoom), int(MaxStep));
}

void EditorZoom::setStep(int step)
{
    step = qBound(int(MinStep), step, int(MaxStep));
    if (step == current)
        return;
    current = step;
    SettingsStore().setValue(Settings::EditorZoom, current);
    for (const QPointer<QPlainTextEdit>& editor : qAsConst(editors)) {
        if (editor)
            apply(editor);
    }
    emit stepChanged(current);
}

void EditorZoom::attach(QPlainTextEdit* editor)
{
    editors.removeAll(nullptr);
    if (editors.contains(editor))
        return;
    editors.append(editor);
    editor->viewport()->installEventFilter(this);
    // An editor starts with the unzoomed font.
    if (current != 0)
        apply(editor);
}

void EditorZoom::apply(QPlainTextEdit* editor) const
{
    editor->setFont(fontFor(current));
    // The gutter takes the font from the editor; its width follows from the digits' width, set
    // through the editor's margin slot and its resize handling.
    QMetaObject::invokeMethod(editor, "updateLineNumberAreaWidth", Q_ARG(int, 0));
    QResizeEvent resize(editor->size(), editor->size());
    QCoreApplication::sendEvent(editor, &resize);
}

bool EditorZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    const int delta = wheel->angleDelta().y();
    if (delta > 0)
        zoomIn();
    else if (delta < 0)
        zoomOut();
    Q_UNUSED(watched)
    return true;
}
