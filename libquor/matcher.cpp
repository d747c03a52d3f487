#include "matcher.h"

#include <algorithm>
#include <unordered_set>

namespace quor {

namespace {

// Nesting of the match in progress beyond which it is given up, to keep within the stack.
constexpr std::size_t MaxMatchDepth = 2000;

} // namespace

Matcher::Matcher(const Memory& memory, const Term& pattern) : memory(memory)
{
    root = compile(pattern);
}

Matcher::Node Matcher::compile(const Term& term)
{
    Node node;
    node.kind = term.kind;
    node.op = term.op;
    node.copula = term.copula;
    if (!hasVariable(term)) {
        node.ground = true;
        node.id = memory.lookup(term);
        if (node.id == 0)
            possibleMatch = false;
        return node;
    }
    if (term.kind == Term::Kind::Variable)
        node.variable = term.name;
    for (const Term& part : term.parts)
        node.parts.push_back(compile(part));
    const auto cost = [](const Node& part) {
        if (part.ground)
            return 0;
        if (part.kind == Term::Kind::Variable)
            return 1;
        return part.kind == Term::Kind::Compound && isCommutative(part.op) ? 3 : 2;
    };
    for (std::size_t i = 0; i < node.parts.size(); ++i)
        node.order.push_back(i);
    std::stable_sort(node.order.begin(), node.order.end(), [&](std::size_t a, std::size_t b) {
        return cost(node.parts[a]) < cost(node.parts[b]);
    });
    return node;
}

bool Matcher::matches(TermId id)
{
    if (!possibleMatch)
        return false;
    bindings.clear();
    steps = 0;
    depth = 0;
    return match(root, id, [] { return true; });
}

bool Matcher::match(const Node& node, TermId id, const Next& next)
{
    if (++steps > MaxSteps) {
        gaveUp = true;
        return false;
    }
    if (node.ground)
        return node.id == id && next();
    if (node.kind == Term::Kind::Variable) {
        for (const auto& [name, value] : bindings)
            if (*name == node.variable)
                return value == id && next();
        bindings.emplace_back(&node.variable, id);
        if (next())
            return true;
        bindings.pop_back();
        return false;
    }
    const Record* record = memory.find(id);
    if (!record || record->kind != node.kind || record->parts.size() != node.parts.size())
        return false;
    if (node.kind == Term::Kind::Statement && record->copula != node.copula)
        return false;
    if (node.kind == Term::Kind::Compound && record->op != node.op)
        return false;
    return node.kind == Term::Kind::Compound && isCommutative(node.op)
               ? matchSet(node, *record, next)
               : matchParts(node, *record, 0, next);
}

bool Matcher::matchParts(const Node& node, const Record& record, std::size_t from, const Next& next)
{
    if (from == node.parts.size())
        return next();
    if (++depth > MaxMatchDepth) {
        gaveUp = true;
        return false;
    }
    const std::size_t part = node.order[from];
    const bool matched = match(node.parts[part], record.parts[part],
                               [&] { return matchParts(node, record, from + 1, next); });
    --depth;
    return matched;
}

// The operands without variables take equal operands of the term first; the others are then
// tried against what is left, in every assignment until one lets the rest of the match succeed.
bool Matcher::matchSet(const Node& node, const Record& record, const Next& next)
{
    std::vector<TermId> left = record.parts;
    std::vector<const Node*> open;
    for (const Node& part : node.parts) {
        if (!part.ground) {
            open.push_back(&part);
            continue;
        }
        const auto it = std::find(left.begin(), left.end(), part.id);
        if (it == left.end())
            return false;
        *it = left.back();
        left.pop_back();
    }
    // Compound operands narrow the choice more than lone variables: try them first.
    std::stable_partition(open.begin(), open.end(),
                          [](const Node* part) { return part->kind != Term::Kind::Variable; });
    return assign(open, 0, left, next);
}

// Matches open[from] with each operand still left in turn, then the following ones with the
// rest.
bool Matcher::assign(const std::vector<const Node*>& open, std::size_t from,
                     std::vector<TermId>& left, const Next& next)
{
    if (from == open.size())
        return next();
    if (++depth > MaxMatchDepth) {
        gaveUp = true;
        return false;
    }
    std::unordered_set<TermId> tried; // equal operands give equal matches
    bool matched = false;
    for (std::size_t i = 0; i < left.size() && !matched && !gaveUp; ++i) {
        const TermId candidate = left[i];
        if (!tried.insert(candidate).second)
            continue;
        std::swap(left[i], left.back());
        left.pop_back();
        matched = match(*open[from], candidate, [&] { return assign(open, from + 1, left, next); });
        left.push_back(candidate);
        std::swap(left[i], left.back());
    }
    --depth;
    return matched;
}

} // namespace quor
