#include "engine.h"

#include "messages.h"

#include <chrono>
#include <type_traits>

namespace quor {

std::vector<std::string> Engine::process(std::string_view text, int line)
{
    const auto start = std::chrono::steady_clock::now();
    out.clear();
    cycles = 0;
    problems = 0;
    refused = 0;
    refusedReported = 0;
    const std::uint32_t firstLine = line < 1 ? 1u : static_cast<std::uint32_t>(line);
    for (const Item& item : parse(text, firstLine)) {
        std::visit(
            [this](const auto& entry) {
                using T = std::decay_t<decltype(entry)>;
                if constexpr (std::is_same_v<T, Diagnostic>)
                    report(entry.at, entry.mark, entry.message);
                else if constexpr (std::is_same_v<T, Command>)
                    run(entry);
                else if (entry.question)
                    ask(entry);
                else
                    judge(entry);
            },
            item);
    }
    if (refused > refusedReported)
        out.push_back(plainMessage("Memory is full (" + std::to_string(Memory::MaxTerms) +
                                   " terms): " + std::to_string(refused) + " judgement" +
                                   (refused == 1 ? " was" : "s were") + " not kept."));
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    out.push_back(
        timeMessage(static_cast<std::uint32_t>(std::min<long long>(elapsed, UINT32_MAX)), cycles));
    return std::move(out);
}

bool Engine::report(Position at, std::uint8_t mark, const std::string& text)
{
    const std::size_t count = problems++;
    if (count < MaxDiagnostics)
        out.push_back(errorMessage(at, mark, text));
    else if (count == MaxDiagnostics)
        out.push_back(errorMessage(at, Note, "more problems follow; they are not reported"));
    return count < MaxDiagnostics;
}

// A judgement is pooled by revision with the judgements taken in before for its statement. One
// with a truth value already taken in for it changes nothing, so a document can be run twice.
void Engine::judge(const Sentence& sentence)
{
    ++cycles;
    const TermId id = memory.intern(sentence.statement);
    if (id == 0) {
        ++refused;
        if (report(sentence.at, BadLine,
                   "memory is full (" + std::to_string(Memory::MaxTerms) +
                       " terms); this judgement is not kept"))
            ++refusedReported;
        return;
    }
    if (memory.judge(id, sentence.truth) == Memory::Judged::Revised) {
        const Record* record = memory.find(id);
        report(sentence.at, Note,
               "revised with the judgement already held: now " + quoted(record->text) + ". " +
                   formatTruth(*record->judged));
    }
}

void Engine::ask(const Sentence& sentence)
{
    Reasoner reasoner(memory, log);
    Reasoner::Result result = reasoner.ask(sentence.statement, debug);
    cycles += result.cycles;
    for (const std::string& question : result.internalQuestions)
        out.push_back(textMessage('i', "Internal question: " + quoted(question)));
    std::string reply =
        result.answer
            ? "Answer: " + quoted(result.answer->text) + ". " + formatTruth(result.answer->truth)
            : "No answer found for " + quoted(text(sentence.statement)) + "?";
    switch (result.stop) {
    case Reasoner::Stop::None:
        break;
    case Reasoner::Stop::Questions:
        reply += " (search stopped after " + std::to_string(Reasoner::MaxQuestions) + " questions)";
        break;
    case Reasoner::Stop::Depth:
        reply +=
            " (search stopped at a depth of " + std::to_string(Reasoner::MaxDepth) + " levels)";
        break;
    case Reasoner::Stop::Matching:
        reply += " (matching stopped: a judgement took too long to compare)";
        break;
    }
    out.push_back(plainMessage(reply));
    if (result.unkept > 0)
        out.push_back(plainMessage("Memory is full (" + std::to_string(Memory::MaxTerms) +
                                   " terms): " + std::to_string(result.unkept) + " conclusion" +
                                   (result.unkept == 1 ? " was" : "s were") + " not kept."));
    lastTree = std::move(result.tree);
    asked = true;
}

} // namespace quor
