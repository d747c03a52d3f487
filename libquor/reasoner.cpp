#include "reasoner.h"

#include "matcher.h"

#include <unordered_set>
#include <utility>

namespace quor {

Reasoner::Result Reasoner::ask(const Term& question, bool listInternal)
{
    this->listInternal = listInternal;
    result = Result{};
    questions.clear();
    cuts.clear();
    considered = 0;
    threads = 0;
    if (question.kind != Term::Kind::Statement || question.parts.size() != 2)
        return std::move(result);
    copula = question.copula;
    if (hasVariable(question)) {
        askWithVariables(question);
    } else {
        const TermId subject = memory.lookup(question.parts[0]);
        const TermId predicate = memory.lookup(question.parts[1]);
        if (subject == 0 || predicate == 0) {
            // A term the engine has never heard of: nothing in memory can answer, so the
            // question is not searched.
            addNode(std::nullopt, text(question) + '?', 1, 0, DerivationNode::Question);
            ++result.cycles;
        } else {
            Question top;
            top.subject = subject;
            top.predicate = predicate;
            questions.push_back(top);
            search(MaxQuestions);
            result.answer = evaluate(0);
            build(0, std::nullopt, 0);
        }
    }
    reportStop();
    return std::move(result);
}

void Reasoner::askWithVariables(const Term& question)
{
    const std::size_t top =
        addNode(std::nullopt, text(question) + '?', 1, 0, DerivationNode::Question);
    ++result.cycles;
    ++considered;
    const Term& subject = question.parts[0];
    const Term& predicate = question.parts[1];
    const bool subjectOpen = subject.kind == Term::Kind::Variable && !hasVariable(predicate);
    const bool predicateOpen = predicate.kind == Term::Kind::Variable && !hasVariable(subject);
    std::optional<Answer> best;

    if ((subjectOpen || predicateOpen) && (isTransitive(copula) || isSymmetric(copula))) {
        // One side is a lone variable: each term that could answer, the nearest first, becomes
        // an internal question without variables.
        const TermId fixed = memory.lookup(subjectOpen ? predicate : subject);
        const std::vector<TermId> terms =
            fixed ? candidates(fixed, subjectOpen) : std::vector<TermId>();
        const std::size_t room = MaxQuestions - considered;
        for (std::size_t i = 0; i < terms.size() && i < room; ++i) {
            Question candidate;
            candidate.subject = subjectOpen ? terms[i] : fixed;
            candidate.predicate = subjectOpen ? fixed : terms[i];
            candidate.level = 2;
            questions.push_back(candidate);
        }
        const std::size_t roots = questions.size();
        search(MaxQuestions);
        for (std::size_t i = 0; i < roots; ++i) {
            keepBetter(best, evaluate(i));
            build(i, top, ++threads);
        }
        // Judgements that answer a candidate the budget left out directly are still answers.
        for (std::size_t i = roots; i < terms.size(); ++i) {
            const TermId s = subjectOpen ? terms[i] : fixed;
            const TermId p = subjectOpen ? fixed : terms[i];
            const Record* held = memory.find(memory.lookupStatement(s, copula, p));
            if (held && held->judged) {
                addNode(top, judgedText(held->id), 2, 0, DerivationNode::Known);
                keepBetter(best, Answer{held->id, true, held->text, *held->judged});
            }
            if (const auto reachable = reach(s, p))
                cuts.push_back({-1, *reachable, Stop::Questions});
        }
    } else {
        // Anything else is matched against the judgements held.
        Matcher matcher(memory, question);
        if (matcher.possible()) {
            for (const TermId id : memory.judgedWith(copula)) {
                if (!matcher.matches(id))
                    continue;
                const Record* record = memory.find(id);
                addNode(top, judgedText(id), 2, 0, DerivationNode::Known);
                keepBetter(best, Answer{id, true, record->text, *record->judged});
            }
        }
        if (matcher.stopped())
            cuts.push_back({-1, Truth{1.0, MaxConfidence}, Stop::Matching});
    }
    result.tree.nodes[top].answered = best.has_value();
    result.answer = best;
}

// The terms that stand on the open side of a judged belief with the question's copula, and for a
// transitive copula those linked to the fixed term by a chain of such beliefs short enough for
// the search: the nearest first, each once.
std::vector<TermId> Reasoner::candidates(TermId fixed, bool subjectOpen) const
{
    std::vector<TermId> found;
    std::unordered_set<TermId> seen{fixed};
    const auto towards = [&](TermId term) -> const std::vector<TermId>& {
        return subjectOpen ? memory.judgedWithPredicate(term, copula)
                           : memory.judgedWithSubject(term, copula);
    };
    const int openSide = subjectOpen ? 0 : 1;
    if (!isTransitive(copula)) {
        // Read both ways, and nothing chains: the terms next to the fixed one, either way.
        const auto& direct = towards(fixed);
        const auto& mirrored = subjectOpen ? memory.judgedWithSubject(fixed, copula)
                                           : memory.judgedWithPredicate(fixed, copula);
        for (const TermId id : direct)
            if (const TermId term = memory.find(id)->parts[openSide]; seen.insert(term).second)
                found.push_back(term);
        for (const TermId id : mirrored)
            if (const TermId term = memory.find(id)->parts[1 - openSide]; seen.insert(term).second)
                found.push_back(term);
        return found;
    }
    std::vector<TermId> layer{fixed};
    for (std::uint32_t distance = 1; distance < MaxDepth && !layer.empty(); ++distance) {
        std::vector<TermId> next;
        for (const TermId term : layer) {
            for (const TermId id : towards(term)) {
                const TermId other = memory.find(id)->parts[openSide];
                if (seen.insert(other).second) {
                    found.push_back(other);
                    next.push_back(other);
                }
            }
        }
        layer = std::move(next);
    }
    return found;
}

// Says why the search was cut short, when the part it left might have held a more confident
// answer than the one found.
void Reasoner::reportStop()
{
    const double best = result.answer ? result.answer->truth.confidence : -1.0;
    for (const Cut& cut : cuts) {
        if (bound(cut) <= best)
            continue;
        if (result.stop == Stop::None || cut.kind == Stop::Questions ||
            (cut.kind == Stop::Matching && result.stop == Stop::Depth))
            result.stop = cut.kind;
    }
}

} // namespace quor
