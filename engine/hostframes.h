#ifndef HOSTFRAMES_H
#define HOSTFRAMES_H

// The conversation between a client (the window, quorstudio-run) and quorstudio-engine-host,
// over the host's standard input and output. Plain C++ without Qt: the host links only this and
// the engine library.
//
// Every frame is a 4-byte little-endian payload length, one kind byte, then the payload. No
// payload is longer than MaxPayload, the largest engine message. A longer frame, a kind the
// reader does not expect from that side, or a payload that does not fit its kind is garbage and
// ends the conversation: the reader stops at the first such frame, trusting nothing after it.
//
//   client to host
//     'T' a piece of the next input's text
//     'I' 4-byte little-endian line (signed), then the input's last piece: the input is whole
//     'A' 4-byte little-endian count (1 to MaxInFlight) of engine messages the client has taken
//         since its last acknowledgement
//   host to client
//     'H' Hello, once, first: the host runs and has created its engine instance
//     'M' one engine message, its bytes unchanged (0 to MaxPayload of them)
//     'D' empty: process() has returned for the oldest input not yet done
//
// The host stops fetching engine messages while MaxInFlight of them are unacknowledged, so a
// client that falls behind holds a flooding engine back instead of buffering without limit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace hostframes {

constexpr std::size_t MaxPayload = 15000;
constexpr std::size_t HeaderSize = 5;
// The most a host assembles for one input; more is garbage.
constexpr std::size_t MaxInput = std::size_t(1) << 30;
constexpr std::uint32_t MaxInFlight = 4096;
// The client acknowledges this many messages at a time; MaxInFlight is a multiple of it, so a
// host waiting for acknowledgements always gets them once its messages have been taken.
constexpr std::uint32_t AcknowledgeEvery = 256;
// The hello frame's payload: the program and the version of this conversation.
constexpr const char Hello[] = "quorstudio-engine-host 1";

enum Kind : unsigned char {
    TextPiece = 'T',
    InputEnd = 'I',
    Acknowledge = 'A',
    HelloKind = 'H',
    Message = 'M',
    Done = 'D',
};

// Who reads: the host reads what a client sends, the client what a host sends.
enum class Reader { Host, Client };

struct Frame {
    unsigned char kind = 0;
    const char* payload = nullptr;
    std::size_t size = 0;
};

struct Parse {
    enum State { Complete, Incomplete, Broken };
    State state = Incomplete;
    Frame frame;              // Complete: points into the parsed bytes
    std::size_t length = 0;   // Complete: bytes the frame takes, header included
    const char* error = "";   // Broken: what is wrong, for a report
    std::uint32_t stated = 0; // Broken by its length: the payload length the header stated
};

// The frame at the start of data[0, size). Incomplete when more bytes are needed; a header that
// is already wrong (too long, unexpected kind) is Broken without waiting for its payload.
Parse parse(const char* data, std::size_t size, Reader reader);

// Appends one frame; payloads longer than MaxPayload are cut there (callers never pass one).
void appendFrame(std::string& out, Kind kind, const char* payload, std::size_t size);
// Appends an input as pieces of at most MaxPayload bytes, the last one in its 'I' frame.
void appendInput(std::string& out, const char* text, std::size_t size, int line);
void appendAcknowledge(std::string& out, std::uint32_t count);

// The line of a Complete 'I' frame; its text piece follows the line's 4 bytes.
int inputLine(const Frame& frame);
constexpr std::size_t InputLineSize = 4;
// The count of a Complete 'A' frame.
std::uint32_t acknowledged(const Frame& frame);

// Gathers the 'T' and 'I' frames of one input at a time.
class InputAssembler {
public:
    // Takes a Complete 'T' or 'I' frame. False when the input would grow past MaxInput.
    bool take(const Frame& frame);
    // After an 'I' frame: the whole input. The next take() starts a new one.
    bool whole() const { return isWhole; }
    int line() const { return inputLineNumber; }
    // The whole input's text, handed over.
    std::string takeText() { return std::move(gathered); }

private:
    std::string gathered;
    int inputLineNumber = 0;
    bool isWhole = false;
};

} // namespace hostframes

#endif
