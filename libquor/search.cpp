// The search behind one question: internal questions considered breadth first within a budget,
// then the answers worked out from the deepest questions up, then the derivation tree.

#include "reasoner.h"

#include <algorithm>

namespace quor {

namespace {

// The best truth value any answer could have.
constexpr Truth Top{1.0, MaxConfidence};

// Raises the bound to cover the truth value too, frequency and confidence each.
void raise(std::optional<Truth>& bound, const Truth& truth)
{
    if (!bound) {
        bound = truth;
        return;
    }
    bound->frequency = std::max(bound->frequency, truth.frequency);
    bound->confidence = std::max(bound->confidence, truth.confidence);
}

} // namespace

void keepBetter(std::optional<Answer>& best, const std::optional<Answer>& candidate)
{
    if (candidate && (!best || candidate->truth.confidence > best->truth.confidence))
        best = candidate;
}

// Questions join the end of `questions` as they are asked, so the ones from `next` on are the
// queue, in the order they will be considered. No more are asked than the budget has room for,
// so every question asked is considered.
void Reasoner::search(unsigned budget)
{
    for (std::size_t next = 0; next < questions.size(); ++next)
        consider(next, budget);
}

void Reasoner::consider(std::size_t index, unsigned budget)
{
    ++considered;
    ++result.cycles;
    Question& q = questions[index];
    if (listInternal && q.level > 1)
        result.internalQuestions.push_back(memory.statementText(q.subject, copula, q.predicate) +
                                           '?');
    const auto judged = [this](TermId statement) {
        const Record* record = memory.find(statement);
        return record && record->judged ? statement : 0;
    };
    q.direct = judged(memory.lookupStatement(q.subject, copula, q.predicate));
    if (isSymmetric(copula))
        q.mirror = judged(memory.lookupStatement(q.predicate, copula, q.subject));
    if (!isTransitive(copula))
        return;

    const std::size_t waiting = questions.size() - 1 - index;
    const std::size_t room = budget - considered > waiting ? budget - considered - waiting : 0;
    const auto& premises = memory.judgedWithSubject(q.subject, copula);
    if (premises.empty())
        return;
    // The terms along this chain, which it does not try again.
    std::vector<TermId> path;
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(index); at >= 0; at = questions[at].parent)
        path.push_back(questions[at].subject);
    std::vector<TermId> eligible;
    for (const TermId premise : premises) {
        const TermId middle = memory.find(premise)->parts[1];
        if (middle != q.predicate && std::find(path.begin(), path.end(), middle) == path.end())
            eligible.push_back(premise);
    }
    if (eligible.empty())
        return;
    if (room == 0 && q.level < MaxDepth) {
        // No question asked from here would be considered.
        std::optional<Truth> best;
        for (const TermId premise : eligible)
            raise(best, deduction(*memory.find(premise)->judged, Top));
        cuts.push_back({static_cast<std::ptrdiff_t>(index), *best, Stop::Questions});
        return;
    }
    // Those answered by a judgement first.
    std::vector<TermId> direct, others;
    for (const TermId premise : eligible) {
        const TermId middle = memory.find(premise)->parts[1];
        (judged(memory.lookupStatement(middle, copula, q.predicate)) ? direct : others)
            .push_back(premise);
    }
    direct.insert(direct.end(), others.begin(), others.end());

    const std::uint32_t level = q.level;
    const TermId predicate = q.predicate;
    const std::size_t taken = level < MaxDepth ? std::min(room, direct.size()) : 0;
    // The best that the premises left out could have led to.
    std::optional<Truth> best;
    for (std::size_t i = taken; i < direct.size(); ++i) {
        const Record* record = memory.find(direct[i]);
        if (const auto rest = reach(record->parts[1], predicate))
            raise(best, deduction(*record->judged, *rest));
    }
    if (best)
        cuts.push_back({static_cast<std::ptrdiff_t>(index), *best,
                        level < MaxDepth ? Stop::Questions : Stop::Depth});
    for (std::size_t i = 0; i < taken; ++i) {
        const Record* record = memory.find(direct[i]);
        Question child;
        child.subject = record->parts[1];
        child.predicate = predicate;
        child.level = level + 1;
        child.parent = static_cast<std::ptrdiff_t>(index);
        child.premise = direct[i];
        child.premiseTruth = *record->judged;
        questions[index].children.push_back(questions.size());
        questions.push_back(std::move(child)); // `q` is not used from here on
    }
}

// Looks one step ahead: a judgement that answers the question directly, or by symmetry, or a
// judged premise for a deduction, whose conclusion could be no better than deduction with the
// best truth value there is.
std::optional<Truth> Reasoner::reach(TermId subject, TermId predicate) const
{
    std::optional<Truth> best;
    const auto judged = [&](TermId statement) {
        if (const Record* record = memory.find(statement); record && record->judged)
            raise(best, *record->judged);
    };
    judged(memory.lookupStatement(subject, copula, predicate));
    if (isSymmetric(copula))
        judged(memory.lookupStatement(predicate, copula, subject));
    if (isTransitive(copula))
        for (const TermId premise : memory.judgedWithSubject(subject, copula))
            raise(best, deduction(*memory.find(premise)->judged, Top));
    return best;
}

// An answer found below the cut reaches the question asked through the premises above it, each
// applying deduction; the truth functions only grow with their arguments.
double Reasoner::bound(const Cut& cut) const
{
    Truth truth = cut.frontier;
    for (std::ptrdiff_t at = cut.question; at >= 0 && questions[at].parent >= 0;
         at = questions[at].parent)
        truth = deduction(questions[at].premiseTruth, truth);
    return truth.confidence;
}

std::optional<Answer> Reasoner::evaluate(std::size_t index)
{
    std::optional<Answer> best;
    const TermId subject = questions[index].subject;
    const TermId predicate = questions[index].predicate;
    if (const TermId direct = questions[index].direct)
        best = Answer{direct, true, memory.textOf(direct), *memory.find(direct)->judged};
    if (const TermId mirror = questions[index].mirror) {
        const Truth truth = *memory.find(mirror)->judged;
        const InferenceItem premise{mirror, judgedText(mirror)};
        questions[index].symmetric = derive(SymmetryOp, {premise}, subject, predicate, truth);
        keepBetter(best, questions[index].symmetric);
    }
    for (std::size_t i = 0; i < questions[index].children.size(); ++i) {
        const std::size_t child = questions[index].children[i];
        const auto rest = evaluate(child);
        if (!rest)
            continue;
        const Question& c = questions[child];
        const Truth truth = deduction(c.premiseTruth, rest->truth);
        const InferenceItem first{c.premise, judgedText(c.premise)};
        const InferenceItem second{rest->statement, rest->text + ". " + formatTruth(rest->truth)};
        questions[child].conclusion =
            derive(DeductionOp, {first, second}, subject, predicate, truth);
        keepBetter(best, questions[child].conclusion);
    }
    questions[index].answer = best;
    return best;
}

Answer Reasoner::derive(std::uint32_t operation, const std::vector<InferenceItem>& premises,
                        TermId subject, TermId predicate, const Truth& truth)
{
    Answer answer;
    answer.statement = memory.internStatement(subject, copula, predicate);
    answer.kept = answer.statement != 0;
    if (!answer.kept) {
        answer.statement = memory.statementId(subject, copula, predicate);
        ++result.unkept;
    }
    answer.text = memory.statementText(subject, copula, predicate);
    answer.truth = truth;
    Inference inference;
    inference.operation = operation;
    inference.items = premises;
    inference.items.push_back({answer.statement, answer.text + ". " + formatTruth(truth)});
    log.add(std::move(inference));
    if (answer.kept)
        memory.conclude(answer.statement, truth);
    return answer;
}

void Reasoner::build(std::size_t index, std::optional<std::size_t> parent, std::int32_t thread)
{
    const Question& q = questions[index];
    const std::uint32_t below = q.level + 1;
    const std::size_t node =
        addNode(parent, memory.statementText(q.subject, copula, q.predicate) + '?', q.level, thread,
                DerivationNode::Question);
    result.tree.nodes[node].answered = q.answer.has_value();
    if (q.direct)
        addNode(node, judgedText(q.direct), below, thread, DerivationNode::Known);
    if (q.mirror) {
        addNode(node, judgedText(q.mirror), below, thread, DerivationNode::Known);
        if (q.symmetric)
            addNode(node, q.symmetric->text + ". " + formatTruth(q.symmetric->truth), below, thread,
                    DerivationNode::Derived);
    }
    for (const std::size_t child : q.children) {
        const Question& c = questions[child];
        const std::int32_t branch = ++threads;
        addNode(node, judgedText(c.premise), below, branch, DerivationNode::Known);
        build(child, node, branch);
        if (c.conclusion)
            addNode(node, c.conclusion->text + ". " + formatTruth(c.conclusion->truth), below,
                    branch, DerivationNode::Derived);
    }
}

std::size_t Reasoner::addNode(std::optional<std::size_t> parent, std::string label,
                              std::uint32_t level, std::int32_t thread, DerivationNode::Kind kind)
{
    DerivationNode node;
    node.label = std::move(label);
    node.level = level;
    node.thread = thread;
    node.kind = kind;
    result.tree.nodes.push_back(std::move(node));
    const std::size_t index = result.tree.nodes.size() - 1;
    if (parent)
        result.tree.nodes[*parent].children.push_back(index);
    return index;
}

std::string Reasoner::judgedText(TermId statement) const
{
    const Record* record = memory.find(statement);
    if (!record || !record->judged)
        return memory.textOf(statement);
    return record->text + ". " + formatTruth(*record->judged);
}

} // namespace quor
