#include "outputappender.h"
#include "privateenvironment.h"
#include "scrollbacklimit.h"

#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The Output dock's scrollback limit, read from the settings: absent means every line stays.
class TestScrollback : public QObject {
    Q_OBJECT
    PrivateEnvironment environment;

private slots:
    void limit_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: no such setting
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("kept"); // after appending lines 1 to 5
        QTest::newRow("default: everything") << QVariant() << 0 << "1 2 3 4 5";
        QTest::newRow("three lines") << QVariant(3) << 3 << "3 4 5";
        QTest::newRow("as text") << QVariant("2") << 2 << "4 5";
        QTest::newRow("zero") << QVariant(0) << 0 << "1 2 3 4 5";
        QTest::newRow("negative") << QVariant(-4) << 0 << "1 2 3 4 5";
        QTest::newRow("not a number") << QVariant("many") << 0 << "1 2 3 4 5";
    }
    void limit()
    {
        QFETCH(QVariant, stored);
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        if (stored.isValid()) // as the user writes it into the settings file
            QSettings("QuorStudio", "QuorStudio").setValue("outputScrollbackLines", stored);
        QPlainTextEdit view;
        OutputAppender appender(&view);
        ScrollbackLimit::apply(&view);
        QTEST(view.maximumBlockCount(), "limit");
        for (int i = 1; i <= 5; ++i)
            appender.append(QString::number(i));
        appender.flush();
        QTEST(view.toPlainText().replace('\n', ' '), "kept");
    }
};

QTEST_MAIN(TestScrollback)
#include "tst_scrollback.moc"
