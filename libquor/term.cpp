#include "term.h"

#include <algorithm>
#include <utility>

namespace quor {

const char* symbol(Copula copula)
{
    switch (copula) {
    case Copula::Inheritance:
        return "→";
    case Copula::Similarity:
        return "↔";
    case Copula::Implication:
        return "⇒";
    case Copula::Equivalence:
        return "⇔";
    case Copula::Instance:
        return "∘→";
    case Copula::Property:
        return "→∘";
    case Copula::InstanceProperty:
        return "∘→∘";
    case Copula::PredictiveImplication:
        return "/⇒";
    case Copula::RetrospectiveImplication:
        return "\\⇒";
    case Copula::ConcurrentImplication:
        return "|⇒";
    case Copula::PredictiveEquivalence:
        return "/⇔";
    case Copula::ConcurrentEquivalence:
        return "|⇔";
    }
    return "?";
}

const char* symbol(Operator op)
{
    switch (op) {
    case Operator::Intersection:
        return "∩";
    case Operator::Union:
        return "∪";
    case Operator::Difference:
        return "⊖";
    case Operator::Minus:
        return "-";
    case Operator::Product:
        return "×";
    case Operator::Negation:
        return "¬";
    case Operator::Conjunction:
        return "∧";
    case Operator::Disjunction:
        return "∨";
    }
    return "?";
}

bool isTransitive(Copula copula)
{
    switch (copula) {
    case Copula::Inheritance:
    case Copula::Implication:
    case Copula::PredictiveImplication:
    case Copula::RetrospectiveImplication:
    case Copula::ConcurrentImplication:
        return true;
    default:
        return false;
    }
}

bool isSymmetric(Copula copula)
{
    return copula == Copula::Similarity || copula == Copula::Equivalence ||
           copula == Copula::ConcurrentEquivalence;
}

bool isCommutative(Operator op)
{
    return op == Operator::Intersection || op == Operator::Union || op == Operator::Conjunction ||
           op == Operator::Disjunction;
}

Term word(std::string name)
{
    Term term;
    term.kind = Term::Kind::Word;
    term.name = std::move(name);
    return term;
}

Term variable(std::string name)
{
    Term term;
    term.kind = Term::Kind::Variable;
    term.name = std::move(name);
    return term;
}

Term compound(Operator op, std::vector<Term> parts)
{
    Term term;
    term.kind = Term::Kind::Compound;
    term.op = op;
    term.parts = std::move(parts);
    if (isCommutative(op)) {
        std::vector<std::pair<std::string, Term>> keyed;
        for (auto& part : term.parts)
            keyed.emplace_back(text(part), std::move(part));
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        term.parts.clear();
        for (auto& entry : keyed)
            term.parts.push_back(std::move(entry.second));
    }
    return term;
}

Term statement(Term subject, Copula copula, Term predicate)
{
    Term term;
    term.kind = Term::Kind::Statement;
    term.copula = copula;
    term.parts.push_back(std::move(subject));
    term.parts.push_back(std::move(predicate));
    return term;
}

namespace {

// Appends the term's text to `out`, each part's by `appendPart(i)`.
template <typename AppendPart>
void compose(std::string& out, const Term& term, const AppendPart& appendPart)
{
    switch (term.kind) {
    case Term::Kind::Word:
        out += term.name;
        return;
    case Term::Kind::Variable:
        out += '#';
        out += term.name;
        return;
    case Term::Kind::Compound:
        out += '(';
        if (term.op == Operator::Negation) {
            out += symbol(term.op);
            out += ' ';
        }
        for (std::size_t i = 0; i < term.parts.size(); ++i) {
            if (i > 0) {
                out += ' ';
                out += symbol(term.op);
                out += ' ';
            }
            appendPart(i);
        }
        out += ')';
        return;
    case Term::Kind::Statement:
        if (term.parts.size() != 2) {
            out += "<>";
            return;
        }
        out += '<';
        appendPart(0);
        out += ' ';
        out += symbol(term.copula);
        out += ' ';
        appendPart(1);
        out += '>';
        return;
    }
}

void appendText(std::string& out, const Term& term)
{
    compose(out, term, [&](std::size_t i) { appendText(out, term.parts[i]); });
}

} // namespace

std::string text(const Term& term)
{
    std::string out;
    appendText(out, term);
    return out;
}

std::string text(const Term& term, const std::vector<std::string_view>& partTexts)
{
    std::string out;
    compose(out, term, [&](std::size_t i) { out += partTexts[i]; });
    return out;
}

bool hasVariable(const Term& term)
{
    if (term.kind == Term::Kind::Variable)
        return true;
    return std::any_of(term.parts.begin(), term.parts.end(), hasVariable);
}

} // namespace quor
