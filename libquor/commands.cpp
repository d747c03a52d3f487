// The engine commands and their replies.

#include "engine.h"

#include "messages.h"

namespace quor {

namespace {

// "1 belief", "2 beliefs".
std::string count(std::size_t number, const std::string& noun)
{
    return std::to_string(number) + ' ' + noun + (number == 1 ? "" : "s");
}

} // namespace

void Engine::run(const Command& command)
{
    switch (command.id) {
    case CommandId::Version:
        out.push_back(textMessage('v', EngineVersion));
        break;
    case CommandId::DebugOn:
        debug = true;
        out.push_back(plainMessage("Debug on: internal questions are reported while answering."));
        break;
    case CommandId::DebugOff:
        debug = false;
        out.push_back(plainMessage("Debug off."));
        break;
    case CommandId::Clear:
        memory.clear();
        log.clear();
        lastTree = DerivationTree{};
        asked = false;
        out.push_back(plainMessage("Memory cleared."));
        break;
    case CommandId::Words:
        sendTable(Memory::Table::Words, 'w', "words");
        break;
    case CommandId::Compounds:
        sendTable(Memory::Table::Compounds, 'c', "compound terms");
        break;
    case CommandId::Statements:
        sendTable(Memory::Table::Statements, 's', "statements");
        break;
    case CommandId::Memory:
        sendMemory();
        break;
    case CommandId::Question:
        sendQuestion();
        break;
    case CommandId::Inference:
        sendInferences();
        break;
    }
}

void Engine::sendTable(Memory::Table table, char kind, const char* plural)
{
    std::vector<TableEntry> entries;
    for (const Record* record : memory.table(table)) {
        std::string name = record->text;
        if (const auto belief = record->belief())
            name += ". " + formatTruth(*belief);
        entries.push_back({record->id, std::move(name)});
    }
    std::size_t kept = 0;
    out.push_back(termTableMessage(kind, entries, kept));
    if (kept < entries.size())
        out.push_back(plainMessage("Only " + std::to_string(kept) + " of the " +
                                   std::to_string(entries.size()) + " " + plural +
                                   " in memory fit in one message; the table shows those."));
}

// The dump is a document in the notation: one judgement per belief, in the order the beliefs
// arrived. Every term in memory is part of a believed statement, so running the dump after
// "⋙ clear" rebuilds the same terms with the same ids and truth values.
void Engine::sendMemory()
{
    const auto beliefs = memory.beliefs();
    std::string dump = "// QUOR memory: " + count(beliefs.size(), "belief") +
                       ". Run this after ⋙ clear to rebuild the same memory.\n";
    constexpr std::size_t Reserve = 3 + 1 + 120; // framing, NUL and the closing comment
    std::size_t written = 0;
    for (const Record* record : beliefs) {
        const std::string line = record->text + ". " + formatTruth(*record->belief()) + '\n';
        if (dump.size() + line.size() + Reserve > MaxMessage)
            break;
        dump += line;
        ++written;
    }
    if (written < beliefs.size()) {
        dump += "// cut: " + count(beliefs.size() - written, "more belief") +
                " did not fit in one message.\n";
        out.push_back(textMessage('m', dump));
        out.push_back(plainMessage("The memory dump holds only " + std::to_string(written) +
                                   " of " + std::to_string(beliefs.size()) +
                                   " beliefs: no more fit in one message."));
        return;
    }
    out.push_back(textMessage('m', dump));
}

void Engine::sendQuestion()
{
    std::size_t kept = 0;
    out.push_back(questionMessage(lastTree, kept));
    if (!asked)
        out.push_back(plainMessage("No question has been asked yet."));
    else if (kept < lastTree.nodes.size())
        out.push_back(plainMessage("The derivation tree shows " + std::to_string(kept) + " of " +
                                   std::to_string(lastTree.nodes.size()) +
                                   " steps; no more fit in one message."));
}

void Engine::sendInferences()
{
    std::size_t kept = 0;
    out.push_back(inferenceMessage(log, kept));
    if (log.recent().empty())
        out.push_back(plainMessage("No inferences yet."));
    else if (kept < log.recent().size())
        out.push_back(plainMessage("The graph shows the last " + std::to_string(kept) + " of " +
                                   std::to_string(log.recent().size()) +
                                   " recent inferences; no more fit in one message."));
}

} // namespace quor
