// The language server's framing and dispatch: the input is the byte stream a client sends,
// after an initialize of the server's own (the first byte chooses the position encoding and how
// the stream is cut into pieces). Behind the server stands an engine that answers every
// document at once with an error placed by the document's own size, so diagnostics are made
// for whatever text the stream leaves. The server must answer with well-formed messages only.

#include "engineconnection.h"
#include "languageserver.h"
#include "messageframing.h"
#include "testmessages.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool promise)
{
    if (!promise)
        std::abort();
}

class InstantEngine : public EngineConnection {
public:
    void input(const QString& text, int line) override
    {
        const quint32 size = quint32(text.size());
        if (line == 1)
            emit message(errorMessage(size % 7, size % 13, quint8(size % 16), "error"));
        else if (text.endsWith(QLatin1String("end_of_run")))
            emit message(errorMessage(quint32(line), 1, 2, "error"));
    }
    void stop() override {}
};

} // namespace

// Qt 5.15's JSON parser loses the object or array it built for a key when the same key comes
// again in the object ({"a":{},"a":{}}; seen with Debian's Qt 5.15.8 in a plain program), and a
// client's bytes may hold that. Such leaks start inside Qt, whose frames the sanitizer's fast
// unwinding cannot pass, so only the library can be named. Leaks of the server's own
// allocations start in its own code and are still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt5Core.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const int mode = size > 0 ? bytes[0] : 0;
    const QByteArray stream =
        size > 0 ? QByteArray(reinterpret_cast<const char*>(bytes) + 1, int(size - 1))
                 : QByteArray();

    InstantEngine engine;
    LanguageServer server(&engine);
    MessageFraming replies;
    QObject::connect(&server, &LanguageServer::send, [&](const QByteArray& framed) {
        replies.feed(framed);
        for (auto item = replies.next(); item.type != MessageFraming::Item::None;
             item = replies.next()) {
            check(item.type == MessageFraming::Item::Body);
            const QJsonObject reply = QJsonDocument::fromJson(item.body).object();
            check(reply.value(QLatin1String("jsonrpc")) == QLatin1String("2.0"));
            check(reply.contains(QLatin1String("id")) != reply.contains(QLatin1String("method")));
        }
    });

    const QByteArray initialize =
        (mode & 1) ? R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":)"
                     R"({"general":{"positionEncodings":["utf-8"]}}}})"
                   : R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})";
    server.receive(MessageFraming::frame(initialize));
    const int piece = (mode >> 1) + 1;
    for (int i = 0; i < stream.size(); i += piece)
        server.receive(stream.mid(i, piece));
    server.inputClosed();
    check(server.hasFinished() && replies.buffered() == 0);
    return 0;
}
