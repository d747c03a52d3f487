#!/usr/bin/env python3
"""Writes a knowledge base that keeps the engine busy for a while: many judgements between a
few thousand words, then questions with a variable ("which term?"), each of which makes the
engine search through them.

    python3 examples/make-slow-kb.py [FILE [JUDGEMENTS [QUESTIONS [WORDS]]]]

Defaults: slow-kb.quor, 40,000 judgements, 2,000 questions over 2,000 words. With the stand-in
engine, 2,000 such questions take some 30 seconds of a processor; each question takes about
the same time, so the time grows with QUESTIONS. Open the file in QuorStudio and press Run to
see the busy indicator count, and Engine > Stop (Esc) end the engine when it runs in a separate
process (Engine > Run Engine in Separate Process).
"""
import random
import sys

name = sys.argv[1] if len(sys.argv) > 1 else "slow-kb.quor"
defaults = ["40000", "2000", "2000"]
given = sys.argv[2:5]
judgements, questions, words = (int(a) for a in given + defaults[len(given):])

random.seed(2026)  # the same file every time
lines = [f"// {judgements} judgements and {questions} questions over {words} words"]
for _ in range(judgements):
    lines.append(f"<w{random.randrange(words)} \u2192 w{random.randrange(words)}>. {{0.9 0.9}}")
for i in range(questions):
    word = f"w{random.randrange(words)}"
    lines.append(f"<#x \u2192 {word}>?" if i % 2 else f"<{word} \u2192 #x>?")
with open(name, "w", encoding="utf-8") as out:
    out.write("\n".join(lines) + "\n")
print(f"{name}: {judgements} judgements, {questions} questions, {words} words")
