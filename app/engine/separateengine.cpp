#include "separateengine.h"

#include "engineactivity.h"
#include "enginecommand.h"
#include "engineprocess.h"
#include "outputappender.h"
#include "quorw.h"
#include "settings.h"
#include "slowinputhint.h"

#include <QAction>
#include <QMenu>

#include <cstring>

SeparateEngine::SeparateEngine(const Parts& parts, QObject* parent)
    : QObject(parent), parts(parts), engine(new EngineProcess(this))
{
    QMenu* menu = parts.activity->engineMenu();
    menu->addSeparator();
    mode = menu->addAction(tr("Run Engine in &Separate Process"));
    mode->setObjectName(QStringLiteral("actionSeparate_Process"));
    mode->setCheckable(true);
    mode->setStatusTip(tr("Run the engine in a process of its own: the window never waits for "
                          "it, Stop ends it and a crash leaves the window running"));
    restart = menu->addAction(tr("&Restart Engine"));
    restart->setObjectName(QStringLiteral("actionRestart_Engine"));
    restart->setStatusTip(tr("End the engine's process; the next input starts a fresh engine "
                             "with an empty memory"));

    connect(parts.window, SIGNAL(input(QString, int)), this, SLOT(forward(QString, int)));
    connect(this, SIGNAL(output(const char*, size_t)), parts.window,
            SLOT(output(const char*, size_t)), Qt::DirectConnection);
    connect(engine, &EngineProcess::message, this, &SeparateEngine::deliver);
    connect(engine, &EngineProcess::busyChanged, parts.activity, &EngineActivity::showBusy);
    connect(engine, &EngineProcess::ended, this, [this](const QString& how) {
        this->parts.output->append(tr("%1; its memory is empty").arg(how));
    });
    connect(engine, &EngineProcess::hostStarted, this, &SeparateEngine::hostStarted);
    connect(restart, &QAction::triggered, this, &SeparateEngine::restartEngine);

    setOn(SettingsStore().value(Settings::EngineInSeparateProcess), false);
    connect(mode, &QAction::toggled, this, [this](bool on) {
        SettingsStore().setValue(Settings::EngineInSeparateProcess, on);
        setOn(on, true);
    });
}

bool SeparateEngine::isOn() const
{
    return mode->isChecked();
}

void SeparateEngine::setOn(bool on, bool announce)
{
    mode->setChecked(on);
    restart->setEnabled(on);
    // Inputs wait in the host's own queue; the worker's queueing has nothing to hold back.
    parts.activity->queueAction()->setEnabled(!on);
    parts.hint->setActive(!on);
    if (on) {
        QObject::disconnect(parts.window, SIGNAL(input(QString, int)), parts.worker,
                            SLOT(input(QString, int)));
        parts.activity->setOtherEngine([this] { stopEngine(); });
    } else {
        engine->stop();
        parts.activity->setOtherEngine({});
        connect(parts.window, SIGNAL(input(QString, int)), parts.worker, SLOT(input(QString, int)),
                Qt::UniqueConnection);
    }
    if (!announce)
        return;
    parts.output->append(on ? tr("The engine now runs in a separate process; its memory is empty")
                            : tr("The engine now runs in the window's process again, with the "
                                 "memory it had there"));
    if (!on && parts.debug->isChecked())
        parts.worker->input(engineCommandText(EngineCommand::DebugOn), 1);
}

void SeparateEngine::forward(const QString& text, int line)
{
    if (!isOn())
        return;
    if (parts.beforeHandOver)
        parts.beforeHandOver();
    engine->input(text, line);
}

void SeparateEngine::deliver(const QByteArray& bytes)
{
    char* block = new char[std::size_t(bytes.size())];
    std::memcpy(block, bytes.constData(), std::size_t(bytes.size()));
    emit output(block, size_t(bytes.size()));
}

void SeparateEngine::stopEngine()
{
    const qint64 ms = engine->busyMs();
    engine->stop();
    parts.output->append(tr("Engine stopped after %1 s; its memory is empty")
                             .arg(static_cast<double>(ms) / 1000.0, 0, 'f', 1));
}

void SeparateEngine::restartEngine()
{
    engine->stop();
    parts.output->append(tr("Engine restarted; its memory is empty"));
}

// A fresh engine knows nothing of the options the window has told the one before.
void SeparateEngine::hostStarted()
{
    if (parts.debug->isChecked())
        engine->input(engineCommandText(EngineCommand::DebugOn), 1);
}
