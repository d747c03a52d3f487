#ifndef QUOR_REASONER_H
#define QUOR_REASONER_H

#include "inference.h"
#include "memory.h"
#include "term.h"
#include "truth.h"

#include <cstdint>
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
    TermId statement = 0; // the id it has in memory, or would have if there had been room
    bool kept = true;     // false when memory was full and the conclusion could not be kept
    std::string text;
    Truth truth;
};

// Answers questions from memory by backward chaining over the judgements taken in: a question
// <S c P>? is answered by a judged belief <S c P>, by symmetry from a judged <P c S> when c is
// symmetric, and by deduction when c is transitive: for every judged <S c M> the engine asks
// itself <M c P>? and, if that is answered, derives <S c P>. Questions are considered breadth
// first, level by level, those answered by a judgement ahead of their siblings. Every
// conclusion is recorded in the inference log and kept in memory when it is new or more
// confident than the conclusion held, but conclusions are never premises: answers depend on the
// judgements alone. Among several answers the most confident wins; on a tie the first found.
class Reasoner {
public:
    static constexpr std::uint32_t MaxDepth = 12; // levels of internal questions
    static constexpr unsigned MaxQuestions = 200; // questions considered per question asked

    Reasoner(Memory& memory, InferenceLog& log) : memory(memory), log(log) {}

    // What cut a search short, when what it left unexplored might have held a more confident
    // answer than the one found.
    enum class Stop { None, Questions, Depth, Matching };

    struct Result {
        std::optional<Answer> answer;
        DerivationTree tree;
        std::vector<std::string> internalQuestions; // when asked for, in the order considered
        unsigned cycles = 0;
        Stop stop = Stop::None;
        std::size_t unkept = 0; // conclusions memory had no room for
    };

    // The question is a statement; '#' variables in it stand for any one term each. With
    // `listInternal` the result lists the internal questions.
    Result ask(const Term& question, bool listInternal = false);

private:
    // A question of the search; all share one copula.
    struct Question {
        TermId subject = 0;
        TermId predicate = 0;
        std::uint32_t level = 1;
        std::ptrdiff_t parent = -1; // the question that asked this one
        TermId premise = 0;         // the judged <parent's subject c subject> that led here
        Truth premiseTruth;
        TermId direct = 0; // judged <S c P>
        TermId mirror = 0; // judged <P c S>, for a symmetric copula
        std::vector<std::size_t> children;
        std::optional<Answer> answer;
        std::optional<Answer> symmetric;  // drawn from the mirror
        std::optional<Answer> conclusion; // drawn by the parent from this question's answer
    };
    // Part of the search left undone below a question, with the best truth value an answer
    // from there could have had.
    struct Cut {
        std::ptrdiff_t question;
        Truth frontier;
        Stop kind;
    };

    Memory& memory;
    InferenceLog& log;
    Result result;
    Copula copula = Copula::Inheritance;
    std::vector<Question> questions;
    std::vector<Cut> cuts;
    unsigned considered = 0;
    bool listInternal = false;
    std::int32_t threads = 0;

    // reasoner.cpp
    void askWithVariables(const Term& question);
    std::vector<TermId> candidates(TermId fixed, bool subjectOpen) const;
    void reportStop();

    // search.cpp
    void search(unsigned budget);
    void consider(std::size_t index, unsigned budget);
    std::optional<Truth> reach(TermId subject, TermId predicate) const;
    double bound(const Cut& cut) const;
    std::optional<Answer> evaluate(std::size_t index);
    Answer derive(std::uint32_t operation, const std::vector<InferenceItem>& premises,
                  TermId subject, TermId predicate, const Truth& truth);
    void build(std::size_t index, std::optional<std::size_t> parent, std::int32_t thread);
    std::size_t addNode(std::optional<std::size_t> parent, std::string label, std::uint32_t level,
                        std::int32_t thread, DerivationNode::Kind kind);
    std::string judgedText(TermId statement) const;
};

// Keeps the candidate when it is more confident than the best so far.
void keepBetter(std::optional<Answer>& best, const std::optional<Answer>& candidate);

} // namespace quor

#endif
