// The stand-in engine through its four C functions. Golden transcripts: every golden/*.quor file
// is sent to the engine and its replies, decoded with the program's own decoders, must read as
// the .out file beside it. In a .quor file a line "%% send N" starts another process() call whose
// first line is N, "%% session" a new engine instance. QUOR_GOLDEN_UPDATE=1 writes the .out files
// instead (read them before committing). Every reply of every transcript must also keep the
// engine's promises: at most 15000 bytes, tables and graphs of whole records, a time message
// last. Besides: input no transcript can hold, and the C interface under threads.

#include "errormessage.h"
#include "inferencegraph.h"
#include "memorydump.h"
#include "messagereader.h"
#include "messages.h"
#include "questiontree.h"
#include "quor.h"
#include "termtable.h"
#include "waituntil.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <future>
#include <thread>

namespace {

QList<QByteArray> send(void* handle, const QByteArray& text, int line = 1)
{
    process(handle, text.constData(), line, 0);
    QList<QByteArray> replies;
    std::vector<char> buffer(QUOR_MAX_MESSAGE + 1);
    for (size_t size = buffer.size(); get(handle, buffer.data(), &size, false, 0, 0);
         size = buffer.size())
        replies.append(QByteArray(buffer.data(), int(size)));
    return replies;
}

// The reply as text, and whether it keeps the engine's promises (`broken` names the fault).
QString render(const QByteArray& message, QString* broken)
{
    const char* data = message.constData();
    const std::size_t size = std::size_t(message.size());
    const MessageKind kind = messageKind(data, size);
    const char letter = kind == MessageKind::Plain ? 0 : message[1];
    if (size > QUOR_MAX_MESSAGE)
        *broken = QStringLiteral("message of %1 bytes").arg(size);
    QString text;
    std::size_t used = 0; // the bytes the decoded records account for
    if (kind == MessageKind::Plain) {
        text = QStringLiteral("text: ") + messageText(data, size, 0);
        used = size;
    } else if (kind == MessageKind::Error) {
        const auto error = decodeErrorMessage(data, size);
        text = error ? QStringLiteral("error %1:%2 mark 0x%3 %4")
                           .arg(error->line)
                           .arg(error->column)
                           .arg(error->kind, 2, 16, QLatin1Char('0'))
                           .arg(error->text)
                     : QStringLiteral("error (short)");
        used = size;
    } else if (kind == MessageKind::Time) {
        const auto time = decodeElapsedTime(data, size);
        text = QStringLiteral("time, %1 cycles").arg(time ? time->cycles : -1);
        used = time ? 11 : 0;
    } else if (kind == MessageKind::Words || kind == MessageKind::Compounds ||
               kind == MessageKind::Statements) {
        const auto records = decodeTermRecords(data, size);
        text = QStringLiteral("table %1, %2 records").arg(letter).arg(records.size());
        used = 7;
        for (const TermRecord& record : records) {
            text += QStringLiteral("\n  %1 %2").arg(termIdText(record.id), record.name);
            used += 9 + std::size_t(record.name.toUtf8().size());
        }
    } else if (kind == MessageKind::Memory) {
        const QByteArray dump = decodeMemoryDump(data, size);
        text = QStringLiteral("memory:\n  ") + QString::fromUtf8(dump).split('\n').join("\n  ");
        used = size == 3 + std::size_t(dump.size()) + 1 ? size : 0;
    } else if (kind == MessageKind::Question) {
        const QuestionTree tree = decodeQuestionTree(data, size);
        MessageReader reader(data, size, 3);
        quint32 width = 0, links = 0, labels = 0, attributes = 0;
        if (reader.readU32(width) && reader.readU32(links) && reader.readU32(labels) &&
            reader.readU32(attributes) && width == 8 && links == quint32(tree.links.size()) &&
            labels + 1 == quint32(tree.nodes.size()))
            used = 19 + 16 * std::size_t(links) + 16 * std::size_t(attributes);
        text = QStringLiteral("question tree");
        for (auto node = tree.nodes.cbegin(); node != tree.nodes.cend(); ++node) {
            text += QStringLiteral("\n  node %1 level %2 thread %3 flags 0x%4 gen %5: %6")
                        .arg(node.key())
                        .arg(node->level)
                        .arg(node->threadId)
                        .arg(node->flags, 0, 16)
                        .arg(node->genNumber)
                        .arg(QString::fromUtf8(node->label));
            used += node.key() ? 9 + std::size_t(node->label.size()) : 0;
        }
        for (const DerivationLink& link : tree.links)
            text += QStringLiteral("\n  link %1 -> %2").arg(link.parent).arg(link.child);
    } else if (kind == MessageKind::Inference) {
        const InferenceGraph graph = decodeInferenceGraph(data, size);
        text = QStringLiteral("inference graph");
        used = 19;
        for (const Inference& inference : graph.inferences) {
            QStringList items;
            for (const quint64 id : inference.items)
                items << termIdText(id);
            text += QStringLiteral("\n  op %1: %2").arg(inference.operation).arg(items.join(' '));
            used += 8 * std::size_t(inference.items.size()) + 8;
        }
        for (auto it = graph.texts.cbegin(); it != graph.texts.cend(); ++it) {
            text += QStringLiteral("\n  %1 %2").arg(termIdText(it.key()), it.value());
            used += 9 + std::size_t(it.value().toUtf8().size());
        }
        for (auto it = graph.operations.cbegin(); it != graph.operations.cend(); ++it) {
            text += QStringLiteral("\n  operation %1 %2: %3")
                        .arg(it.key())
                        .arg(it->name, it->description);
            used += 6 + std::size_t(it->name.toUtf8().size() + it->description.toUtf8().size());
        }
    } else {
        text = QStringLiteral("%1: ").arg(letter) + messageText(data, size, 3);
        used = size;
    }
    if (used != size && broken->isEmpty())
        *broken = QStringLiteral("records do not fill the message: ") + text.left(200);
    return text;
}

// Sends the transcript's inputs; returns the rendered replies, or the first broken promise.
QString run(const QByteArray& transcript, QString* broken)
{
    QString out;
    void* handle = create_object(1, 0);
    QList<QByteArray> input;
    int line = 1;
    const auto flush = [&] {
        const QByteArray text = input.join('\n');
        out += QStringLiteral(">>> %1\n").arg(QString::fromUtf8(input.value(0)).left(70));
        const QList<QByteArray> replies = send(handle, text, line);
        for (const QByteArray& reply : replies)
            out += render(reply, broken) + '\n';
        if (replies.isEmpty() ||
            messageKind(replies.last().constData(), std::size_t(replies.last().size())) !=
                MessageKind::Time)
            *broken = QStringLiteral("no time message last after ") + input.value(0);
        input.clear();
    };
    QList<QByteArray> lines = transcript.split('\n');
    if (transcript.endsWith('\n'))
        lines.removeLast();
    for (const QByteArray& text : lines) {
        if (!text.startsWith("%% ")) {
            input.append(text);
            continue;
        }
        if (!input.isEmpty())
            flush();
        if (text == "%% session") {
            destroy_object(handle);
            handle = create_object(1, 0);
            out += QStringLiteral("=== session\n");
        } else {
            line = text.mid(8).isEmpty() ? 1 : text.mid(8).toInt();
        }
    }
    if (!input.isEmpty())
        flush();
    destroy_object(handle);
    return out;
}

} // namespace

class TestQuor : public QObject {
    Q_OBJECT

private slots:
    void golden_data()
    {
        QTest::addColumn<QString>("name");
        const QDir dir(QStringLiteral(TESTSRCDIR "/quor/golden"));
        for (const QString& file : dir.entryList({QStringLiteral("*.quor")}))
            QTest::newRow(qPrintable(file)) << dir.filePath(file.chopped(5));
        QVERIFY(dir.exists());
    }
    void golden()
    {
        QFETCH(QString, name);
        QFile input(name + ".quor"), expected(name + ".out");
        QVERIFY(input.open(QIODevice::ReadOnly));
        QString broken;
        const QString out = run(input.readAll(), &broken);
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        if (qEnvironmentVariableIntValue("QUOR_GOLDEN_UPDATE")) {
            QVERIFY(expected.open(QIODevice::WriteOnly));
            expected.write(out.toUtf8());
            return;
        }
        QVERIFY(expected.open(QIODevice::ReadOnly));
        const QStringList want = QString::fromUtf8(expected.readAll()).split('\n');
        const QStringList got = out.split('\n');
        for (int i = 0; i < std::min(want.size(), got.size()); ++i)
            QVERIFY2(got[i] == want[i], qPrintable(QStringLiteral("line %1: got\n%2\nexpected\n%3")
                                                       .arg(i + 1)
                                                       .arg(got[i], want[i])));
        QCOMPARE(got.size(), want.size());
    }

    // Whatever comes in, the engine answers with whole, bounded messages, texts shortened
    // between characters, a time message last, and stays usable.
    void hostileInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QRandomGenerator random(20240611);
        QByteArray noise(1 << 16, '\0');
        for (char& byte : noise)
            byte = char(random.bounded(1, 256));
        QTest::newRow("random bytes") << noise;
        QByteArray symbols;
        const QByteArray pieces[] = {"<", ">", "(", ")",  "{",  "}",  ".", "?", "#",  "→",   "⇒",
                                     "∧", "¬", "⋙", "/*", "*/", "//", "a", " ", "\n", "0.5", "1"};
        for (int i = 0; i < 20000; ++i)
            symbols += pieces[random.bounded(int(std::size(pieces)))];
        QTest::newRow("random notation") << symbols;
        QTest::newRow("deep parentheses") << "<" + QByteArray(200000, '(');
        QTest::newRow("deep statements")
            << QByteArray(200000, '<') + "a → b" + QByteArray(200000, '>');
        QTest::newRow("flood of errors") << QByteArray("$\n").repeated(50000);
        const QByteArray word = QString(QChar(0x00E9)).repeated(12000).toUtf8(); // 24000 bytes
        QTest::newRow("long word") << "<" + word + " → b>.\n<" + word + " → b>?\n<x" + word + "?";
        QTest::newRow("long command") << "⋙ " + word;
        QTest::newRow("long internal question")
            << "⋙ debug on\n<a → " + word + ">.\n<" + word + " → c>.\n<a → c>?";
        QTest::newRow("long table entries") << "<" + word + " → b>.\n⋙ words\n⋙ statements";
        QTest::newRow("wide compound") << "<(" + QByteArray("a ∧ ").repeated(50000) + "a) → b>.";
    }
    void hostileInput()
    {
        QFETCH(QByteArray, input);
        QString broken;
        const QString out = run(input + "\n%% send\n⋙ version", &broken);
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
        QVERIFY(!out.contains(QChar::ReplacementCharacter) ||
                QTest::currentDataTag() == QByteArray("random bytes"));
        QVERIFY(out.endsWith("v: 1.0.0\ntime, 0 cycles\n"));
    }

    void concurrentProcessAndGet()
    {
        constexpr int Writers = 4, Inputs = 150;
        void* handle = create_object(1, 0);
        std::atomic<int> times{0}, other{0};
        std::thread poller([&] { // as in the program: waits without limit
            std::vector<char> buffer(QUOR_MAX_MESSAGE);
            size_t size = buffer.size();
            while (times < Writers * Inputs && get(handle, buffer.data(), &size, true, ~0u, 0)) {
                ++(size >= 2 && buffer[0] == '<' && buffer[1] == 't' ? times : other);
                size = buffer.size();
            }
        });
        std::vector<std::thread> writers;
        for (int w = 0; w < Writers; ++w) {
            writers.emplace_back([handle, w] {
                for (int i = 0; i < Inputs; ++i)
                    process(handle,
                            QStringLiteral("<t%1_%2 → x>.\n<t%1_%2 → x>?").arg(w).arg(i).toUtf8(),
                            1, 0);
            });
        }
        for (auto& writer : writers)
            writer.join();
        // A lost message would leave the poller waiting: give up after a while and release it.
        if (!waitUntil([&] { return times >= Writers * Inputs; }, 30000))
            destroy_object(handle);
        poller.join();
        QCOMPARE(times.load(), Writers * Inputs);
        QCOMPARE(other.load(), Writers * Inputs); // one answer per input
        const QByteArray dump = send(handle, "⋙ memory").value(0);
        QVERIFY(dump.contains(QByteArray("// QUOR memory: 600 beliefs.")));
        destroy_object(handle);
    }

    void destroyedHandles()
    {
        // destroy_object() releases a get() waiting without limit.
        void* handle = create_object(1, 0);
        auto waiting = std::async(std::launch::async, [handle] {
            char buffer[64];
            size_t size = sizeof buffer;
            return get(handle, buffer, &size, true, ~0u, 0);
        });
        QCOMPARE(waiting.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
        QCOMPARE(destroy_object(handle), 0);
        QCOMPARE(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        QCOMPARE(waiting.get(), false);
        // Every call on a destroyed handle returns at once, messages queued or not; handles are
        // not reused.
        void* gone = create_object(1, 0);
        process(gone, "<a \xE2\x86\x92 b>.", 1, 0);
        QCOMPARE(destroy_object(gone), 0);
        char buffer[64];
        size_t size = sizeof buffer;
        QVERIFY(!get(handle, buffer, &size, true, ~0u, 0));
        QVERIFY(!get(gone, buffer, &size, true, ~0u, 0));
        QVERIFY(!get(nullptr, buffer, &size, true, ~0u, 0));
        QVERIFY(process(handle, "\xE2\x8B\x99 version", 1, 0) != 0);
        QVERIFY(destroy_object(handle) != 0);
        QSet<void*> seen{handle, gone};
        for (int i = 0; i < 100; ++i) {
            void* next = create_object(1, 0);
            QVERIFY(next && !seen.contains(next));
            seen.insert(next);
            destroy_object(next);
        }
    }

    void instancesAreSeparate()
    {
        void* first = create_object(1, 0);
        void* second = create_object(1, 0);
        send(first, "⋙ debug on\n<a → b>.\n<b → c>.");
        const QByteArray reply = send(second, "<a → c>?").value(0);
        QCOMPARE(messageText(reply.constData(), std::size_t(reply.size()), 0),
                 QStringLiteral("No answer found for <a → c>?"));
        QCOMPARE(send(first, "<a → c>?").size(), 3); // internal question, answer, time
        destroy_object(first);
        destroy_object(second);
    }
};

QTEST_GUILESS_MAIN(TestQuor)
#include "tst_quor.moc"
