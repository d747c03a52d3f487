// The KSyntaxHighlighting definition (syntax/quor.xml) classifies every character as the
// notation's scanner does: Debian's kate-syntax-highlighter colours each text with it, and the
// colours are read back as classes. Skipped where that tool is not installed.

#include "notationscanner.h"
#include "testmessages.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The scanner's classes, one letter each as in tests/data/highlighter.txt, lines joined by '\n'.
QString scannerMask(const QString& text)
{
    QStringList lines;
    bool open = false;
    for (const QString& line : text.split('\n')) {
        QVector<NotationSpan> spans;
        const bool next = NotationScanner::instance().scan(line, open, &spans);
        QString mask(line.size(), '.');
        for (const NotationSpan& span : spans)
            mask.replace(span.start, span.length,
                         QString(span.length, QStringLiteral(".PBADONHCLM").at(int(span.token))));
        lines << mask;
        open = next;
    }
    return lines.join('\n');
}

// The classes in kate-syntax-highlighter's HTML, read from each span's style.
QString htmlMask(const QString& html)
{
    static const QHash<QString, QChar> letters = {{"color:#d33682;font-weight:bold;", 'P'},
                                                  {"color:#2aa198;", 'B'},
                                                  {"color:#b58900;", 'A'},
                                                  {"color:#586e75;", 'D'},
                                                  {"color:#b0292b;", 'O'},
                                                  {"color:#bfa954;", 'N'},
                                                  {"color:#55aa55;font-style:italic;", 'H'},
                                                  {"color:#5873aa;font-style:italic;", 'C'},
                                                  {"color:#93a1a1;font-style:italic;", 'L'},
                                                  {"color:#586e75;font-style:italic;", 'M'}};
    const int start = html.indexOf("<pre>") + 5;
    const QString body = html.mid(start, html.lastIndexOf("</pre>") - start);
    static const QRegularExpression piece("<span style=\"([^\"]*)\">([^<]*)</span>|([^<]+)");
    QString mask;
    for (auto it = piece.globalMatch(body); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString text = match.captured(2) + match.captured(3);
        text.replace("&lt;", "<")
            .replace("&gt;", ">")
            .replace("&quot;", "\"")
            .replace("&amp;", "&");
        for (QChar c : text)
            mask += c == '\n'                     ? QChar('\n')
                    : match.captured(1).isEmpty() ? QChar('.')
                                                  : letters.value(match.captured(1), '?');
    }
    return mask;
}

} // namespace

class TestSyntaxDefinition : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tool = QStandardPaths::findExecutable("kate-syntax-highlighter");
        if (tool.isEmpty())
            QSKIP("kate-syntax-highlighter is not installed");
        QVERIFY(data.isValid());
        const QString folder = data.path() + "/org.kde.syntax-highlighting/syntax";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(QStringLiteral(SYNTAX_DEFINITION), folder + "/quor.xml"));
    }

    void sameClasses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("tutorial")
            << QString::fromUtf8(testDataFile("../../examples/tutorial.quor")).trimmed();
        // The editor's own table, then what a left-to-right reading gets wrong most easily.
        const QStringList rows =
            QString::fromUtf8(testDataFile("highlighter.txt")).replace("\\n", "\n").split("\n# ");
        for (const QString& row : rows.mid(1)) {
            const QStringList parts = row.split("\n= ");
            const int name = parts[0].indexOf('\n');
            if (parts.size() == 2)
                QTest::newRow(qPrintable(parts[0].left(name))) << parts[0].mid(name + 1);
        }
        const char* tricky[] = {
            "∧//x ∧/*y*/ ∧/⇒ ∧|⇒", "/* ⋙ */ x /* y */ z // w", "/* // */ x",
            "/* a\nb // c */ d",   "/* a\n⋙ b */ c // d",      "/* a\n*// b",
            "⋙ a /* b // c */ d",  "⋙ a /* b\nc */ d",         "// a /* b */ c",
            "#鳥1 0.5.1 a1 1a",    "\\⇔ ∘→∘→ →∘→ ∘",           "x //* y\nz */ w"};
        for (const char* text : tricky)
            QTest::newRow(QByteArray(text).replace('\n', "\\n")) << QString::fromUtf8(text);
    }
    void sameClasses()
    {
        QFETCH(QString, text);
        QTemporaryDir folder;
        QFile file(folder.filePath("sample.quor"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        file.close();
        QProcess highlighter;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", data.path());
        highlighter.setProcessEnvironment(environment);
        highlighter.start(tool, {"--syntax", "QUOR", "--output-format", "html", file.fileName()});
        QVERIFY(highlighter.waitForFinished(60000));
        QCOMPARE(highlighter.exitCode(), 0);
        const QString html = QString::fromUtf8(highlighter.readAllStandardOutput());
        QVERIFY2(html.contains("Definition (QUOR)"), qPrintable(html.left(400)));
        QCOMPARE(htmlMask(html).trimmed(), scannerMask(text).trimmed());
    }

private:
    QString tool;
    QTemporaryDir data;
};

QTEST_GUILESS_MAIN(TestSyntaxDefinition)
#include "tst_syntaxdefinition.moc"
