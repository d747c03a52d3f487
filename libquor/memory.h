#ifndef QUOR_MEMORY_H
#define QUOR_MEMORY_H

#include "term.h"
#include "truth.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quor {

using TermId = std::uint64_t;

// One term held in memory. Its id is a 64-bit hash of its kind and text, so the same term gets
// the same id in every run and after a dump is read back; 0 is never used.
struct Record {
    TermId id = 0;
    Term::Kind kind = Term::Kind::Word;
    std::string text; // canonical notation
    Copula copula = Copula::Inheritance;
    Operator op = Operator::Intersection;
    std::vector<TermId> parts; // operands, or subject and predicate
    std::optional<Truth> belief;
    std::uint64_t serial = 0;       // order of creation
    std::uint64_t beliefSerial = 0; // order in which the first belief arrived
};

// Words, variables, compound terms and statements, each statement with the truth value believed
// for it. Every term in memory is, or is part of, a statement with a belief.
class Memory {
public:
    static constexpr std::size_t MaxTerms = 100000;

    // Adds the term and all its parts if they are not there yet; returns its id, or 0 when
    // memory is full.
    TermId intern(const Term& term);
    TermId internStatement(TermId subject, Copula copula, TermId predicate);

    // The id of a term already in memory, or 0.
    TermId lookup(const Term& term) const;
    TermId lookupStatement(TermId subject, Copula copula, TermId predicate) const;

    const Record* find(TermId id) const;
    std::string textOf(TermId id) const;

    void setBelief(TermId statement, const Truth& truth);

    // Terms of one table, in creation order: words and variables, compounds, or statements.
    enum class Table { Words, Compounds, Statements };
    std::vector<const Record*> table(Table table) const;
    // Statements with beliefs, in the order their beliefs arrived.
    std::vector<const Record*> beliefs() const;
    // Statements with beliefs whose subject is the given term.
    const std::vector<TermId>& beliefsAbout(TermId subject) const;

    std::size_t size() const { return records.size(); }
    void clear();

private:
    TermId add(Record record, const std::string& key);

    std::unordered_map<TermId, Record> records;
    std::unordered_map<std::string, TermId> ids; // kind letter + text
    std::unordered_map<TermId, std::vector<TermId>> bySubject;
    std::uint64_t serials = 0;
    std::uint64_t beliefSerials = 0;
};

} // namespace quor

#endif
