#ifndef QUOR_MATCHER_H
#define QUOR_MATCHER_H

#include "memory.h"
#include "term.h"

#include <string>
#include <utility>
#include <vector>

namespace quor {

// Matches a term with '#' variables against terms in memory, each variable standing for one
// term wherever it occurs. The operands of ∩ ∪ ∧ ∨ match as a set, in any order; all other
// parts match in order.
class Matcher {
public:
    // Work allowed for matching one term, in steps of one part compared with one term.
    static constexpr std::size_t MaxSteps = 100000;

    Matcher(const Memory& memory, const Term& pattern);

    // Whether the pattern matches the term with the given id.
    bool matches(TermId id);
    // False when a part of the pattern without variables is not in memory: then nothing can
    // match.
    bool possible() const { return possibleMatch; }
    // Whether a match was given up because it took more than MaxSteps or nested too deeply.
    bool stopped() const { return gaveUp; }

private:
    struct Node {
        Term::Kind kind = Term::Kind::Word;
        Operator op = Operator::Intersection;
        Copula copula = Copula::Inheritance;
        std::string variable; // a variable's name
        bool ground = false;  // no variable inside: then `id` is the term's id
        TermId id = 0;
        std::vector<Node> parts;
        // The parts in the order they are matched: those that narrow the choice most first,
        // sets of operands last.
        std::vector<std::size_t> order;
    };
    // What remains to be matched once a part has matched: a reference to a callable that
    // lives while the call that receives it runs.
    class Next {
    public:
        template <typename F>
        Next(const F& f) // NOLINT: converts any callable
            : object(&f), call([](const void* o) { return (*static_cast<const F*>(o))(); })
        {
        }
        bool operator()() const { return call(object); }

    private:
        const void* object;
        bool (*call)(const void*);
    };

    const Memory& memory;
    Node root;
    bool possibleMatch = true;
    bool gaveUp = false;
    std::size_t steps = 0;
    std::size_t depth = 0;
    std::vector<std::pair<const std::string*, TermId>> bindings;

    Node compile(const Term& term);
    bool match(const Node& node, TermId id, const Next& next);
    bool matchParts(const Node& node, const Record& record, std::size_t from, const Next& next);
    bool matchSet(const Node& node, const Record& record, const Next& next);
    bool assign(const std::vector<const Node*>& open, std::size_t from, std::vector<TermId>& left,
                const Next& next);
};

} // namespace quor

#endif
