#include "runoptions.h"

#include <QCommandLineParser>

namespace {

const QString dirOption = QStringLiteral("DIR");

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption step{QStringLiteral("step"),
                            QStringLiteral("Send each file one line at a time, as Step Forward "
                                           "does, instead of whole.")};
    QCommandLineOption time{QStringLiteral("time"),
                            QStringLiteral("Also print the engine's elapsed-time lines.")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Print every engine message as one JSON object per "
                                           "line instead of text.")};
    QCommandLineOption tables{QStringLiteral("tables"),
                              QStringLiteral("After the run, write words.csv, compounds.csv and "
                                             "statements.csv into DIR."),
                              dirOption};
    QCommandLineOption graphs{QStringLiteral("graphs"),
                              QStringLiteral("After the run, write question.svg and "
                                             "inference.svg into DIR."),
                              dirOption};
    QCommandLineOption memory{QStringLiteral("memory"),
                              QStringLiteral("After the run, write the engine's memory dump to "
                                             "FILE."),
                              QStringLiteral("FILE")};
    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("Write the run as one HTML page to FILE."),
                              QStringLiteral("FILE")};
    QCommandLineOption timeout{QStringLiteral("timeout"),
                               QStringLiteral("Give up with status 3 when the engine has not "
                                              "answered an input within SECONDS."),
                               QStringLiteral("SECONDS")};
    QCommandLineOption separate{QStringLiteral("separate-process"),
                                QStringLiteral("Run the engine in a process of its own; if it "
                                               "crashes, end with status 4.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the program's version and exit.")};

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Runs input files through the reasoning engine without a window.\n"
                           "Engine output goes to standard output, input errors to standard "
                           "error as FILE:LINE:COLUMN: error: MESSAGE.\n"
                           "Exit status: 0 no input error, 1 input errors, 2 usage error, "
                           "unreadable or invalid file, 3 timeout, 4 the engine crashed "
                           "(--separate-process)."));
        parser.addOptions(
            {step, time, json, tables, graphs, memory, report, timeout, separate, help, version});
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     QStringLiteral("Input files, sent in order to one engine."),
                                     QStringLiteral("FILE..."));
    }
};

} // namespace

RunOptions parseRunOptions(const QStringList& arguments)
{
    Parser p;
    RunOptions options;
    auto fail = [&options](const QString& error) {
        options.action = RunOptions::Action::UsageError;
        options.error = error;
        return options;
    };
    if (!p.parser.parse(arguments))
        return fail(p.parser.errorText());
    if (p.parser.isSet(p.help)) {
        options.action = RunOptions::Action::Help;
        return options;
    }
    if (p.parser.isSet(p.version)) {
        options.action = RunOptions::Action::Version;
        return options;
    }
    options.files = p.parser.positionalArguments();
    options.step = p.parser.isSet(p.step);
    options.time = p.parser.isSet(p.time);
    options.json = p.parser.isSet(p.json);
    options.tablesDir = p.parser.value(p.tables);
    options.graphsDir = p.parser.value(p.graphs);
    options.memoryFile = p.parser.value(p.memory);
    options.reportFile = p.parser.value(p.report);
    options.separateProcess = p.parser.isSet(p.separate);
    if (p.parser.isSet(p.timeout)) {
        bool ok = false;
        const int seconds = p.parser.value(p.timeout).toInt(&ok);
        // Kept below what a timer can count in milliseconds.
        if (!ok || seconds < 1 || seconds > 2000000)
            return fail(QStringLiteral("--timeout needs a whole number of seconds from 1 to "
                                       "2000000, not '%1'")
                            .arg(p.parser.value(p.timeout)));
        options.timeoutSeconds = seconds;
    }
    for (const QCommandLineOption* option : {&p.tables, &p.graphs, &p.memory, &p.report})
        if (p.parser.isSet(*option) && p.parser.value(*option).isEmpty())
            return fail(QStringLiteral("--%1 needs a name").arg(option->names().constFirst()));
    if (options.files.isEmpty())
        return fail(QStringLiteral("no input file given"));
    return options;
}

QString runUsage()
{
    // The parser names the program by the path it was started with.
    QString text = Parser().parser.helpText();
    const int end = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: quorstudio-run [options] FILE...") + text.mid(end);
}
