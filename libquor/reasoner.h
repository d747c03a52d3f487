#ifndef QUOR_REASONER_H
#define QUOR_REASONER_H

#include "inference.h"
#include "memory.h"
#include "term.h"
#include "truth.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quor {

// One box of a question's derivation tree.
struct DerivationNode {
    enum Kind : std::uint8_t {
        Question = 0x02, // the question asked, or one the engine asked itself
        Derived = 0x04,  // a conclusion drawn while answering
        Known = 0x08,    // a belief found in memory
    };

    std::string label;
    std::uint32_t level = 1; // depth in the tree; the question asked is level 1
    std::int32_t thread = 0; // line of inquiry: each premise tried opens a new one
    Kind kind = Question;
    bool answered = false; // for questions
    std::vector<std::size_t> children;
};

// Nodes in the order they were created; node 0, when there is one, is the question asked.
struct DerivationTree {
    std::vector<DerivationNode> nodes;
};

struct Answer {
    TermId statement = 0;
    Truth truth;
};

// Answers questions from memory by backward chaining: a question <S c P>? is answered by a
// belief <S c P> in memory, by symmetry from <P c S> when c is symmetric, and by deduction when
// c is transitive: for every belief <S c M> the engine asks itself <M c P>? and, if that is
// answered, derives <S c P>. Every conclusion is kept in memory when it is new or more
// confident than the belief held, and recorded in the inference log. Among several answers the
// most confident wins; on a tie the first one found.
class Reasoner {
public:
    static constexpr std::uint32_t MaxDepth = 12;      // levels of internal questions
    static constexpr unsigned MaxQuestions = 200;      // questions considered per question asked
    static constexpr std::size_t MaxCandidates = 1000; // bindings tried for a '#' variable

    Reasoner(Memory& memory, InferenceLog& log) : memory(memory), log(log) {}

    struct Result {
        std::optional<Answer> answer;
        DerivationTree tree;
        std::vector<std::string> internalQuestions;
        unsigned cycles = 0;
    };

    // The question is a statement; '#' variables in it stand for any one term each.
    Result ask(const Term& question);

private:
    Memory& memory;
    InferenceLog& log;
    Result result;
    unsigned questions = 0;
    std::int32_t threads = 0;

    std::size_t addNode(std::optional<std::size_t> parent, std::string label, std::uint32_t level,
                        std::int32_t thread, DerivationNode::Kind kind);
    std::string beliefText(TermId statement) const;
    std::optional<Answer> solve(TermId subject, Copula copula, TermId predicate,
                                std::uint32_t level, std::vector<TermId>& path,
                                std::optional<std::size_t> parent, std::int32_t thread);
    std::optional<TermId> derive(std::uint32_t operation, const std::vector<TermId>& premises,
                                 TermId subject, Copula copula, TermId predicate,
                                 const Truth& truth);
    void askWithVariables(const Term& question);
    bool unify(const Term& pattern, TermId id, std::map<std::string, TermId>& bindings) const;
};

} // namespace quor

#endif
