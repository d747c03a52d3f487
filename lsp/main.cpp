// quorstudio-lsp: the language server for the engine's notation, over standard input and output.

#include "appinfo.h"
#include "hostengine.h"
#include "languageserver.h"
#include "stdiochannel.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    setApplicationIdentity();
    QCoreApplication::setApplicationName(QStringLiteral("quorstudio-lsp"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Language server for the QUOR notation, over standard input and output."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption stdio(QStringLiteral("stdio"),
                                   QStringLiteral("Talk over standard input and output (always)."));
    const QCommandLineOption timeLimit(
        QStringLiteral("timeout"),
        QStringLiteral("Stop a run of the engine after <seconds> (default 10)."),
        QStringLiteral("seconds"), QStringLiteral("10"));
    const QCommandLineOption settle(
        QStringLiteral("settle"),
        QStringLiteral("Run the engine once a document has not changed for <ms> (default 300)."),
        QStringLiteral("ms"), QStringLiteral("300"));
    parser.addOptions({stdio, timeLimit, settle});
    parser.process(app);

    bool secondsOk = false;
    bool settleOk = false;
    const double seconds = parser.value(timeLimit).toDouble(&secondsOk);
    const int settleMs = parser.value(settle).toInt(&settleOk);
    if (!secondsOk || seconds <= 0 || seconds > 86400 || !settleOk || settleMs < 0) {
        std::fprintf(stderr, "quorstudio-lsp: --timeout takes seconds above 0, --settle "
                             "milliseconds from 0\n");
        return 2;
    }

    HostEngine engine;
    LanguageServer server(&engine);
    server.runner()->setTimeLimit(int(seconds * 1000));
    server.runner()->setSettleTime(settleMs);

    StdioChannel channel;
    QObject::connect(&channel, &StdioChannel::received, &server, &LanguageServer::receive);
    QObject::connect(&channel, &StdioChannel::closed, &server, &LanguageServer::inputClosed);
    QObject::connect(&server, &LanguageServer::send, &channel, [&](const QByteArray& bytes) {
        if (!channel.write(bytes))
            server.inputClosed();
    });
    QObject::connect(&server, &LanguageServer::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    channel.start();
    return app.exec();
}
