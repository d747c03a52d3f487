#include "messages.h"

#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace quor {

namespace {

void putU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putU64(std::string& out, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putU32At(std::string& out, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string header(char kind)
{
    std::string message = "<";
    message += kind;
    message += '\0';
    return message;
}

void putText(std::string& out, const std::string& text)
{
    out += text;
    out += '\0';
}

// Text records and names end at their first NUL; one inside a name would cut it short.
std::string withoutNul(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        if (c == '\0')
            c = ' ';
    return result;
}

} // namespace

std::string clipUtf8(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

std::string quoted(const std::string& text)
{
    if (text.size() <= MaxQuoted)
        return text;
    return clipUtf8(text, MaxQuoted) + "…";
}

std::string plainMessage(const std::string& text)
{
    std::string message = clipUtf8(text, MaxMessage - 1);
    message += '\0';
    return message;
}

std::string textMessage(char kind, const std::string& text)
{
    std::string message = header(kind);
    putText(message, clipUtf8(text, MaxMessage - message.size() - 1));
    return message;
}

std::string errorMessage(Position at, std::uint8_t mark, const std::string& text)
{
    std::string message = header('e');
    putU32(message, at.line);
    putU32(message, at.column);
    message += static_cast<char>(mark);
    putText(message, clipUtf8(withoutNul(text), MaxMessage - message.size() - 1));
    return message;
}

std::string timeMessage(std::uint32_t microseconds, std::uint32_t cycles)
{
    std::string message = header('t');
    putU32(message, microseconds);
    putU32(message, cycles);
    return message;
}

std::string termTableMessage(char kind, const std::vector<TableEntry>& entries, std::size_t& kept)
{
    std::string message = header(kind);
    message.append(4, '\0'); // offsets 3 to 6 are not used
    kept = 0;
    for (const TableEntry& entry : entries) {
        if (message.size() + 8 + entry.name.size() + 1 > MaxMessage)
            break;
        putU64(message, entry.id);
        putText(message, withoutNul(entry.name));
        ++kept;
    }
    return message;
}

namespace {

// The item ids of the inferences sent. An item takes its term's id the first time it appears;
// when the same term comes again with another text (another truth value), that text gets an id
// of its own, so that each inference shows its items as they were when it was drawn.
class ItemIds {
public:
    explicit ItemIds(std::unordered_set<TermId> termIds) : used(std::move(termIds)) {}

    // The id for the term with this text; `added` tells whether the text is new.
    TermId idFor(TermId term, const std::string& text, bool& added)
    {
        auto& known = texts[term];
        for (const auto& [itemText, id] : known)
            if (*itemText == text) {
                added = false;
                return id;
            }
        TermId id = term;
        if (!known.empty()) {
            id = term ^ (0x9E3779B97F4A7C15ull * (known.size() + 1));
            while (id == 0 || used.count(id))
                ++id;
            used.insert(id);
        }
        known.emplace_back(&text, id);
        added = true;
        return id;
    }

private:
    std::unordered_set<TermId> used;
    std::unordered_map<TermId, std::vector<std::pair<const std::string*, TermId>>> texts;
};

bool sameTextSeen(const std::unordered_map<TermId, std::vector<const std::string*>>& seen,
                  const InferenceItem& item)
{
    const auto it = seen.find(item.id);
    if (it == seen.end())
        return false;
    for (const std::string* text : it->second)
        if (*text == item.text)
            return true;
    return false;
}

} // namespace

std::string inferenceMessage(const InferenceLog& log, std::size_t& kept)
{
    constexpr std::size_t HeaderSize = 19;
    std::size_t operationsSize = 0;
    for (const Operation& op : Operations)
        operationsSize +=
            4 + std::string(op.name).size() + 1 + std::string(op.description).size() + 1;

    // Take inferences from the newest back for as long as they and their item texts fit: one
    // text record for each different text of each term.
    const auto& all = log.recent();
    std::size_t size = HeaderSize + operationsSize;
    std::unordered_map<TermId, std::vector<const std::string*>> seen;
    kept = 0;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        std::size_t extra = 8 * it->items.size() + 8;
        // The items of one inference are different statements.
        std::vector<const InferenceItem*> added;
        for (const InferenceItem& item : it->items) {
            if (!sameTextSeen(seen, item)) {
                added.push_back(&item);
                extra += 8 + item.text.size() + 1;
            }
        }
        if (size + extra > MaxMessage)
            break;
        size += extra;
        for (const InferenceItem* item : added)
            seen[item->id].push_back(&item->text);
        ++kept;
    }

    const std::size_t first = all.size() - kept;
    std::unordered_set<TermId> termIds;
    for (std::size_t i = first; i < all.size(); ++i)
        for (const InferenceItem& item : all[i].items)
            termIds.insert(item.id);
    ItemIds itemIds(std::move(termIds));
    std::string texts;
    std::uint32_t textCount = 0;
    std::string message = header('n');
    putU32(message, 8);
    putU32(message, 0); // end of the inference records, filled in below
    putU32(message, 0); // text records
    putU32(message, static_cast<std::uint32_t>(std::size(Operations)));
    for (std::size_t i = first; i < all.size(); ++i) {
        putU32(message, static_cast<std::uint32_t>(all[i].items.size()));
        for (const InferenceItem& item : all[i].items) {
            bool added = false;
            const TermId id = itemIds.idFor(item.id, item.text, added);
            putU64(message, id);
            if (added) {
                putU64(texts, id);
                putText(texts, withoutNul(item.text));
                ++textCount;
            }
        }
        putU32(message, all[i].operation);
    }
    putU32At(message, 7, static_cast<std::uint32_t>(message.size()));
    putU32At(message, 11, textCount);
    message += texts;
    for (const Operation& op : Operations) {
        putU32(message, op.code);
        putText(message, op.name);
        putText(message, op.description);
    }
    return message;
}

std::string questionMessage(const DerivationTree& tree, std::size_t& kept)
{
    constexpr std::size_t HeaderSize = 19;
    constexpr std::size_t Width = 8;
    const auto& nodes = tree.nodes;

    // Breadth first from the question asked, which hangs under root 0.
    std::vector<std::size_t> order;
    std::vector<std::size_t> parents;
    std::vector<bool> seen(nodes.size(), false);
    std::deque<std::pair<std::size_t, std::size_t>> queue; // node index, parent id
    if (!nodes.empty())
        queue.emplace_back(0, 0);
    std::size_t size = HeaderSize;
    while (!queue.empty()) {
        const auto [index, parent] = queue.front();
        queue.pop_front();
        if (index >= nodes.size() || seen[index])
            continue;
        const std::size_t nodeSize = 2 * Width + Width + nodes[index].label.size() + 1 + 4 * Width;
        if (size + nodeSize > MaxMessage)
            break;
        size += nodeSize;
        seen[index] = true;
        order.push_back(index);
        parents.push_back(parent);
        for (const std::size_t child : nodes[index].children)
            queue.emplace_back(child, index + 1);
    }
    kept = order.size();

    std::string message = header('q');
    putU32(message, Width);
    putU32(message, static_cast<std::uint32_t>(order.size()));     // links
    putU32(message, static_cast<std::uint32_t>(order.size()));     // labels
    putU32(message, static_cast<std::uint32_t>(2 * order.size())); // attributes
    for (std::size_t i = 0; i < order.size(); ++i) {
        putU64(message, parents[i]);
        putU64(message, order[i] + 1);
    }
    for (const std::size_t index : order) {
        putU64(message, index + 1);
        putText(message, withoutNul(nodes[index].label));
    }
    for (const std::size_t index : order) {
        const DerivationNode& node = nodes[index];
        // The level lies in bits 8 to 31 and the thread id in bits 16 to 47, so the two travel
        // in separate words: the first sets the level (with the thread bits clear), the second,
        // read once the level is set, the thread id.
        const std::uint64_t level = node.level & 0xFF;
        putU64(message, index + 1);
        putU64(message, static_cast<std::uint64_t>(node.kind) | (level << 8));
        const std::uint64_t answered =
            node.kind == DerivationNode::Question && node.answered ? DerivationNode::Known : 0;
        putU64(message, index + 1);
        putU64(message,
               answered |
                   (static_cast<std::uint64_t>(static_cast<std::uint32_t>(node.thread)) << 16));
    }
    return message;
}

} // namespace quor
