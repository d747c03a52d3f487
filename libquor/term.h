#ifndef QUOR_TERM_H
#define QUOR_TERM_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

// The copulas that join the two terms of a statement.
enum class Copula : std::uint8_t {
    Inheritance,              // →
    Similarity,               // ↔
    Implication,              // ⇒
    Equivalence,              // ⇔
    Instance,                 // ∘→
    Property,                 // →∘
    InstanceProperty,         // ∘→∘
    PredictiveImplication,    // /⇒
    RetrospectiveImplication, // \⇒
    ConcurrentImplication,    // |⇒
    PredictiveEquivalence,    // /⇔
    ConcurrentEquivalence,    // |⇔
};
inline constexpr std::size_t CopulaCount = 12;

// The operators of compound terms.
enum class Operator : std::uint8_t {
    Intersection, // ∩
    Union,        // ∪
    Difference,   // ⊖
    Minus,        // -
    Product,      // ×
    Negation,     // ¬
    Conjunction,  // ∧
    Disjunction,  // ∨
};

const char* symbol(Copula copula);
const char* symbol(Operator op);

// Copulas along which deduction chains: <A c B> and <B c C> give <A c C>.
bool isTransitive(Copula copula);
// Copulas whose statements may be read backwards: <A c B> gives <B c A>.
bool isSymmetric(Copula copula);
// Operators whose operands may be given in any order; they are kept sorted by their text.
bool isCommutative(Operator op);

// A term as written: a word, a '#' variable, a compound term or a statement (whose parts are
// the subject and the predicate). Nesting is bounded by the parser.
struct Term {
    enum class Kind : std::uint8_t { Word, Variable, Compound, Statement };

    Kind kind = Kind::Word;
    std::string name; // word, or variable without its '#'
    Operator op = Operator::Intersection;
    Copula copula = Copula::Inheritance;
    std::vector<Term> parts;
};

Term word(std::string name);
Term variable(std::string name);
Term compound(Operator op, std::vector<Term> parts);
Term statement(Term subject, Copula copula, Term predicate);

// The term in the engine's canonical notation: "bird", "#x", "(a ∧ b)", "(¬ a)", "<a → b>".
std::string text(const Term& term);
// The same text built from the texts of the term's parts, given in order.
std::string text(const Term& term, const std::vector<std::string_view>& partTexts);

bool hasVariable(const Term& term);

} // namespace quor

#endif
