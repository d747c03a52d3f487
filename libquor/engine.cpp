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
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    out.push_back(
        timeMessage(static_cast<std::uint32_t>(std::min<long long>(elapsed, UINT32_MAX)), cycles));
    return std::move(out);
}

void Engine::report(Position at, std::uint8_t mark, const std::string& text)
{
    // The parser already limits its own reports; this bounds the engine's on top of them.
    if (problems++ < 2 * MaxDiagnostics + 1)
        out.push_back(errorMessage(at, mark, text));
}

// A judgement is stored with its truth value. One that restates a belief already held with a
// different truth value is revised with it; the same truth value again changes nothing, so a
// document can be run twice.
void Engine::judge(const Sentence& sentence)
{
    ++cycles;
    const TermId id = memory.intern(sentence.statement);
    if (id == 0) {
        report(sentence.at, BadLine,
               "memory is full (" + std::to_string(Memory::MaxTerms) +
                   " terms); this judgement is not kept");
        return;
    }
    const Record* record = memory.find(id);
    if (!record->belief) {
        memory.setBelief(id, sentence.truth);
    } else if (*record->belief != sentence.truth) {
        const Truth revised = revision(*record->belief, sentence.truth);
        memory.setBelief(id, revised);
        report(sentence.at, Note,
               "revised with the belief already held: now " + record->text + ". " +
                   formatTruth(revised));
    }
}

void Engine::ask(const Sentence& sentence)
{
    Reasoner reasoner(memory, log);
    Reasoner::Result result = reasoner.ask(sentence.statement);
    cycles += result.cycles;
    if (debug)
        for (const std::string& question : result.internalQuestions)
            out.push_back(textMessage('i', "Internal question: " + question));
    if (result.answer)
        out.push_back(plainMessage("Answer: " + memory.textOf(result.answer->statement) + ". " +
                                   formatTruth(result.answer->truth)));
    else
        out.push_back(plainMessage("No answer found for " + text(sentence.statement) + "?"));
    lastTree = std::move(result.tree);
    asked = true;
}

} // namespace quor
