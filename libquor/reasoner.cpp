#include "reasoner.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace quor {

namespace {

void keepBetter(std::optional<Answer>& best, const std::optional<Answer>& candidate)
{
    if (candidate && (!best || candidate->truth.confidence > best->truth.confidence))
        best = candidate;
}

} // namespace

Reasoner::Result Reasoner::ask(const Term& question)
{
    result = Result{};
    questions = 0;
    threads = 0;
    if (question.kind != Term::Kind::Statement || question.parts.size() != 2)
        return std::move(result);
    if (hasVariable(question)) {
        askWithVariables(question);
    } else {
        const TermId subject = memory.lookup(question.parts[0]);
        const TermId predicate = memory.lookup(question.parts[1]);
        if (subject == 0 || predicate == 0) {
            // A term the engine has never heard of: nothing in memory can answer.
            addNode(std::nullopt, text(question) + '?', 1, 0, DerivationNode::Question);
            ++result.cycles;
        } else {
            std::vector<TermId> path{subject};
            result.answer = solve(subject, question.copula, predicate, 1, path, std::nullopt, 0);
        }
    }
    return std::move(result);
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

std::string Reasoner::beliefText(TermId statement) const
{
    const Record* record = memory.find(statement);
    if (!record || !record->belief)
        return memory.textOf(statement);
    return record->text + ". " + formatTruth(*record->belief);
}

std::optional<Answer> Reasoner::solve(TermId subject, Copula copula, TermId predicate,
                                      std::uint32_t level, std::vector<TermId>& path,
                                      std::optional<std::size_t> parent, std::int32_t thread)
{
    ++result.cycles;
    ++questions;
    std::string label =
        '<' + memory.textOf(subject) + ' ' + symbol(copula) + ' ' + memory.textOf(predicate) + ">?";
    if (level > 1)
        result.internalQuestions.push_back(label);
    const std::size_t node =
        addNode(parent, std::move(label), level, thread, DerivationNode::Question);
    std::optional<Answer> best;

    const TermId held = memory.lookupStatement(subject, copula, predicate);
    if (const Record* record = memory.find(held); record && record->belief) {
        addNode(node, beliefText(held), level + 1, thread, DerivationNode::Known);
        best = Answer{held, *record->belief};
    }

    if (isSymmetric(copula)) {
        const TermId mirror = memory.lookupStatement(predicate, copula, subject);
        if (const Record* record = memory.find(mirror); record && record->belief) {
            const Truth truth = *record->belief;
            addNode(node, beliefText(mirror), level + 1, thread, DerivationNode::Known);
            if (const auto conclusion =
                    derive(SymmetryOp, {mirror}, subject, copula, predicate, truth)) {
                addNode(node, memory.textOf(*conclusion) + ". " + formatTruth(truth), level + 1,
                        thread, DerivationNode::Derived);
                keepBetter(best, Answer{*conclusion, truth});
            }
        }
    }

    if (isTransitive(copula) && level < MaxDepth) {
        // A copy: conclusions drawn below add beliefs about this subject.
        const std::vector<TermId> premises = memory.beliefsAbout(subject);
        for (const TermId premise : premises) {
            if (questions >= MaxQuestions)
                break;
            const Record* record = memory.find(premise);
            if (!record || !record->belief || record->copula != copula)
                continue;
            const TermId middle = record->parts[1];
            if (middle == predicate || std::find(path.begin(), path.end(), middle) != path.end())
                continue;
            const Truth first = *record->belief;
            const std::int32_t branch = ++threads;
            addNode(node, beliefText(premise), level + 1, branch, DerivationNode::Known);
            path.push_back(middle);
            const auto rest = solve(middle, copula, predicate, level + 1, path, node, branch);
            path.pop_back();
            if (!rest)
                continue;
            const Truth truth = deduction(first, rest->truth);
            if (const auto conclusion = derive(DeductionOp, {premise, rest->statement}, subject,
                                               copula, predicate, truth)) {
                addNode(node, memory.textOf(*conclusion) + ". " + formatTruth(truth), level + 1,
                        branch, DerivationNode::Derived);
                keepBetter(best, Answer{*conclusion, truth});
            }
        }
    }

    result.tree.nodes[node].answered = best.has_value();
    return best;
}

std::optional<TermId> Reasoner::derive(std::uint32_t operation, const std::vector<TermId>& premises,
                                       TermId subject, Copula copula, TermId predicate,
                                       const Truth& truth)
{
    const TermId conclusion = memory.internStatement(subject, copula, predicate);
    if (conclusion == 0)
        return std::nullopt; // memory is full
    Inference inference;
    inference.operation = operation;
    for (const TermId premise : premises)
        inference.items.push_back({premise, beliefText(premise)});
    inference.items.push_back({conclusion, memory.textOf(conclusion) + ". " + formatTruth(truth)});
    log.add(std::move(inference));
    const Record* record = memory.find(conclusion);
    if (!record->belief || truth.confidence > record->belief->confidence)
        memory.setBelief(conclusion, truth);
    return conclusion;
}

void Reasoner::askWithVariables(const Term& question)
{
    const std::size_t top =
        addNode(std::nullopt, text(question) + '?', 1, 0, DerivationNode::Question);
    ++result.cycles;
    ++questions;
    const Copula copula = question.copula;
    const Term& subject = question.parts[0];
    const Term& predicate = question.parts[1];
    const bool subjectOpen = subject.kind == Term::Kind::Variable && !hasVariable(predicate);
    const bool predicateOpen = predicate.kind == Term::Kind::Variable && !hasVariable(subject);
    std::optional<Answer> best;

    if ((subjectOpen || predicateOpen) && (isTransitive(copula) || isSymmetric(copula))) {
        // One side is a lone variable: try as the answer every term that stands on that side of
        // a belief with the same copula, each as an internal question without variables.
        const TermId fixed = memory.lookup(subjectOpen ? predicate : subject);
        if (fixed != 0) {
            std::vector<TermId> candidates;
            std::unordered_set<TermId> seen;
            for (const Record* record : memory.beliefs()) {
                if (record->copula != copula)
                    continue;
                for (int side = 0; side < 2; ++side) {
                    const bool open = side == (subjectOpen ? 0 : 1);
                    if (!open && !isSymmetric(copula))
                        continue;
                    const TermId id = record->parts[side];
                    if (id != fixed && seen.insert(id).second)
                        candidates.push_back(id);
                }
            }
            if (candidates.size() > MaxCandidates)
                candidates.resize(MaxCandidates);
            for (const TermId candidate : candidates) {
                if (questions >= MaxQuestions)
                    break;
                const TermId s = subjectOpen ? candidate : fixed;
                const TermId p = subjectOpen ? fixed : candidate;
                std::vector<TermId> path{s};
                keepBetter(best, solve(s, copula, p, 2, path, top, ++threads));
            }
        }
    } else {
        // Anything else is matched against the beliefs held, each variable standing for one
        // term throughout.
        for (const Record* record : memory.beliefs()) {
            std::map<std::string, TermId> bindings;
            if (unify(question, record->id, bindings)) {
                addNode(top, beliefText(record->id), 2, 0, DerivationNode::Known);
                keepBetter(best, Answer{record->id, *record->belief});
            }
        }
    }
    result.tree.nodes[top].answered = best.has_value();
    result.answer = best;
}

bool Reasoner::unify(const Term& pattern, TermId id, std::map<std::string, TermId>& bindings) const
{
    const Record* record = memory.find(id);
    if (!record)
        return false;
    switch (pattern.kind) {
    case Term::Kind::Variable: {
        const auto [it, added] = bindings.emplace(pattern.name, id);
        return added || it->second == id;
    }
    case Term::Kind::Word:
        return record->kind == Term::Kind::Word && record->text == pattern.name;
    case Term::Kind::Compound:
        if (record->kind != Term::Kind::Compound || record->op != pattern.op)
            break;
        [[fallthrough]];
    case Term::Kind::Statement:
        if (record->kind != pattern.kind || record->parts.size() != pattern.parts.size())
            return false;
        if (pattern.kind == Term::Kind::Statement && record->copula != pattern.copula)
            return false;
        for (std::size_t i = 0; i < pattern.parts.size(); ++i)
            if (!unify(pattern.parts[i], record->parts[i], bindings))
                return false;
        return true;
    }
    return false;
}

} // namespace quor
