#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora under fuzz/corpus/.

The seeds come from the tests: the golden messages of tests/output/golden/*.hex, the message
cases of the decoder and dispatch tests, and every message the stand-in engine sends while it
runs the tutorial document and the inputs of its grammar tests (captured through its C
interface). The language server's seeds are a session's messages, whole and broken.

    python3 fuzz/make_seeds.py [path/to/libquor.so.1]

Without a library path only the hand-made and golden seeds are written.
"""
import ctypes
import hashlib
import json
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")

seeds = {"dispatch": set(), "parser": set(), "hostframes": set(), "lsp": set()}


def u32(v):
    return struct.pack("<I", v)


def u64(v):
    return struct.pack("<Q", v)


def framed(kind, payload=b""):
    return b"<" + kind + b"\0" + payload


def add_message(message):
    """Every message goes to the dispatcher's corpus (fuzz_window shares it)."""
    seeds["dispatch"].add(message)


def hex_file(path):
    data = b""
    for line in open(path, encoding="utf-8"):
        data += bytes.fromhex(line.split("#", 1)[0])
    return data


# Golden messages of the graph tests.
data_dir = os.path.join(ROOT, "tests", "output", "golden")
for name in sorted(os.listdir(data_dir)):
    if name.endswith(".hex"):
        add_message(hex_file(os.path.join(data_dir, name)))

# Framing and the simple kinds (tests/output/tst_output.cpp).
for message in (b"", b"<", b"hello\0", b"hello", "bird → animal".encode(), b"<x\0text\0",
                b"<d\0text\0", b"<\x80\0text\0", b"<x", b"<i\0why?\0",
                framed(b"t", u32(15) + u32(30)), framed(b"t", u32(0xffffffff) + u32(0x80000000)),
                framed(b"t", u32(15) + u32(30))[:10], b"<v\0 1.2.3 \0", b"<v\0x>1.2\0",
                b"<v\0a>b>c", b"<v", b"<e\0", b"<w\0", b"w<", b"<W", b"<b",
                framed(b"m", b"<bird \xe2\x86\x92 animal>. {1.0 0.9}\n\0"), framed(b"m", b"\0")):
    add_message(message)


# Error messages (tests/output/tst_output.cpp).
def error(line, column, kind, text=b"\0"):
    return framed(b"e", u32(line) + u32(column) + bytes([kind]) + text)


for message in (error(4, 2, 1, b" \t unknown term \n\0"), error(1, 7, 0, "⇒ x".encode()),
                error(0xffffffff, 0xffffffff, 0xff, b"x\0"), error(3, 5, 2),
                error(3, 5, 2)[:11]):
    add_message(message)


# Term tables (tests/output/tst_output.cpp).
def table(kind, records, tail=b""):
    body = b"".join(u64(i) + name + b"\0" for i, name in records)
    return b"<" + kind + b"\0\0\0\0\0" + body + tail


for kind in (b"w", b"c", b"s"):
    for message in (table(kind, []), table(kind, [], b"\x01"),
                    table(kind, [(0, b"a"), (255, b"b"), (2**64 - 1, b"c")]),
                    table(kind, [(1, "βeta".encode()), (2, b"next")]), table(kind, [(3, b"")]),
                    table(kind, [(1, b"a")], b"\x02" * 7),
                    table(kind, [(1, b"a")], b"\x02" * 8 + b"b"),
                    table(kind, [(9, b"zebra"), (4, b"apple")])):
        add_message(message)
add_message(b"<w")


# Inference graphs and derivation trees (tests/output/tst_output.cpp):
# the edge cases the tests build in code.
def inference(records, texts, operations, width=8):
    body = b"".join(u32(len(items)) + b"".join(u64(i) for i in items) + u32(op)
                    for items, op in records)
    end = 19 + len(body)
    body += b"".join(u64(i) + b"\0" * (width - 8) + t + b"\0" for i, t in texts)
    body += b"".join(u32(c) + n + b"\0" + d + b"\0" for c, n, d in operations)
    return framed(b"n", u32(width) + u32(end) + u32(len(texts)) + u32(len(operations)) + body)


for message in (inference([], [], []),
                inference([([1, 2, 3], 255)], [(1, b"t1"), (3, b"t<3&")], [(255, b"op", b"d<")]),
                inference([([1], 1), ([1, 2], 7)], [(1, b"a"), (1, b"dup")], [(1, b"n", b"d")]),
                inference([([1], 1)], [(1, b"a")], [], width=12),
                inference([([1], 1)], [(1, b"a")], [(1, b"n", b"d")])[:30]):
    add_message(message)


def question(links, labels, attributes, width=8):
    pad = b"\0" * (width - 8)
    body = b"".join(u64(p) + pad + u64(c) + pad for p, c in links)
    body += b"".join(u64(i) + pad + t + b"\0" for i, t in labels)
    body += b"".join(u64(i) + pad + u64(w) + pad for i, w in attributes)
    return framed(b"q", u32(width) + u32(len(links)) + u32(len(labels)) + u32(len(attributes))
                  + body)


for message in (question([], [], []),
                question([(0, 1), (0, 2)], [(1, b"A"), (2, b"B")],
                         [(1, 0x0102), (2, 0x0104)]),
                question([(0, 1), (1, 0)], [(0, b"zero"), (1, b"a<&")], [(1, 0x08)]),
                question([(0, 1), (0, 1), (1, 1)], [(1, b"x")], [(1, 2), (1, 2)], width=16),
                question([(0, 1)], [(1, b"cut")], [])[:40]):
    add_message(message)


# Parser inputs: the tutorial and hand-picked lines of the grammar tests.
tutorial = open(os.path.join(ROOT, "examples", "tutorial.quor"), "rb").read()
seeds["parser"].add(tutorial)
for line in tutorial.split(b"\n"):
    if line.strip():
        seeds["parser"].add(line)
for text in ("<bird → animal>. {0.8 0.75}", "<(b ∧ a) ⇒ c>.", "<(b ⊖ a) → (d - c)>.",
             "<(¬rain) → (sun × day × warm)>.", "<(a ∪ b) → (c ∩ d)>.", "<#x → flyer>?",
             "<<a → b> ⇒ <c → d>>.", "<a ↔ b>. {1 0.5}", "⋙ debug on", "⋙ debug off",
             "⋙ bogus", "<robin → bird.", "<a → b>. {2.0 0.9}", "<a → b>. // comment",
             "<a → b>.\n<c → d>?\n⋙ question\n⋙ inference\n", "\xff\xfe", "<" * 80 + "a"):
    seeds["parser"].add(text.encode("utf-8", "surrogateescape"))


def engine_messages(library):
    """Runs the tutorial and the parser seeds through the stand-in engine; every message it
    sends becomes a seed."""
    lib = ctypes.CDLL(library)
    lib.create_object.restype = ctypes.c_void_p
    lib.create_object.argtypes = [ctypes.c_int, ctypes.c_int]
    lib.process.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int, ctypes.c_int]
    lib.get.restype = ctypes.c_bool
    lib.get.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(ctypes.c_size_t),
                        ctypes.c_bool, ctypes.c_uint32, ctypes.c_uint32]
    lib.destroy_object.argtypes = [ctypes.c_void_p]
    handle = lib.create_object(1, 0)
    buffer = ctypes.create_string_buffer(15000)
    inputs = ["⋙ version".encode(), "⋙ debug on".encode(), tutorial] + sorted(seeds["parser"])
    inputs += ["⋙ " + c for c in ("words", "compounds", "statements", "question", "inference",
                                   "memory", "debug off", "clear")]
    found = []
    for text in inputs:
        lib.process(handle, text if isinstance(text, bytes) else text.encode(), 1, 0)
        while True:
            size = ctypes.c_size_t(15000)
            # Everything process() produced is queued by the time it returns; wait=false.
            if not lib.get(handle, buffer, ctypes.byref(size), False, 0, 0):
                break
            found.append(buffer.raw[:size.value])
    lib.destroy_object(handle)
    return found


# The language server's streams: a first byte (position encoding, piece size) and the messages of
# a session, whole or broken.
def lsp_frame(obj):
    body = json.dumps(obj, ensure_ascii=False).encode() if not isinstance(obj, bytes) else obj
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def lsp_document(uri="file:///a.quor"):
    return {"uri": uri}


def lsp_message(method, params, id=None):
    message = {"jsonrpc": "2.0", "method": method, "params": params}
    if id is not None:
        message["id"] = id
    return lsp_frame(message)


def lsp_position(line, character):
    return {"textDocument": lsp_document(), "position": {"line": line, "character": character}}


lsp_session = [
    lsp_message("initialized", {}),
    lsp_message("textDocument/didOpen", {"textDocument": {
        "uri": "file:///a.quor", "languageId": "quor", "version": 1,
        "text": "<robin → bird>.\r\n<𐐀鳥 → b%>.\n// \\an\r/* x\n*/ ⋙ words"}}),
    lsp_message("textDocument/didChange", {"textDocument": {"uri": "file:///a.quor", "version": 2},
                                           "contentChanges": [{"range": {
                                               "start": {"line": 1, "character": 3},
                                               "end": {"line": 2, "character": 1}},
                                               "text": "x\ny"}, {"text": "<a → b>.\n\\"}]}),
    lsp_message("textDocument/completion", lsp_position(1, 1), 1),
    lsp_message("textDocument/completion", lsp_position(0, 3), 2),
    lsp_message("textDocument/hover", lsp_position(0, 2), 3),
    lsp_message("textDocument/semanticTokens/full", {"textDocument": lsp_document()}, 4),
    lsp_message("textDocument/didSave", {"textDocument": lsp_document()}),
    lsp_message("textDocument/didClose", {"textDocument": lsp_document()}),
    lsp_message("shutdown", None, 5),
    lsp_message("exit", None),
]
for mode in (0, 1, 6):
    seeds["lsp"].add(bytes([mode]) + b"".join(lsp_session))
for broken in (b"Content-Length: 5\r\n\r\n" + lsp_session[1],
               b"Content-Length: x\r\n\r\n" + lsp_session[3],
               lsp_frame(b"{\"id\":"), lsp_frame(b"[1]"), b"Content-Type: a\n\n",
               lsp_message("textDocument/hover", {"position": {"line": -1}}, 7),
               lsp_message("textDocument/hover", lsp_position(99, 99), 8)):
    seeds["lsp"].add(bytes([0]) + lsp_session[1] + broken + lsp_session[3])

if len(sys.argv) > 1:
    for message in engine_messages(sys.argv[1]):
        add_message(message)


def frame(kind, payload=b""):
    return struct.pack("<I", len(payload)) + kind + payload


def host_frames():
    """Both sides of a conversation with the engine host: a client's inputs (one in pieces) and
    acknowledgement, a host's greeting, messages and done frames."""
    text = tutorial if isinstance(tutorial, bytes) else tutorial.encode()
    seeds["hostframes"].add(frame(b"I", struct.pack("<i", 1) + "⋙ version".encode()))
    seeds["hostframes"].add(frame(b"T", text[:100]) + frame(b"I", struct.pack("<i", 3) + text[100:300])
                            + frame(b"A", u32(256)) + frame(b"I", struct.pack("<i", -5)))
    messages = [m for m in sorted(seeds["dispatch"]) if len(m) < 600][:12]
    seeds["hostframes"].add(frame(b"H", b"quorstudio-engine-host 1")
                            + b"".join(frame(b"M", m) for m in messages) + frame(b"D"))


host_frames()

for name, items in seeds.items():
    folder = os.path.join(CORPUS, name)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        os.remove(os.path.join(folder, old))
    for item in items:
        if len(item) <= (65536 if name == "lsp" else 15000):
            with open(os.path.join(folder, hashlib.sha1(item).hexdigest()[:16]), "wb") as f:
                f.write(item)
    print(f"{name}: {len(os.listdir(folder))} seeds")
