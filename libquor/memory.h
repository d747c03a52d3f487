#ifndef QUOR_MEMORY_H
#define QUOR_MEMORY_H

#include "term.h"
#include "truth.h"

#include <array>
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
    // A statement's truth values: the judgements taken in, pooled by revision, and the most
    // confident conclusion drawn for it.
    std::optional<Truth> judged;
    std::optional<Truth> concluded;

    // Its belief, which the tables and the dump show: the more confident of the two, the
    // judgement on a tie.
    std::optional<Truth> belief() const
    {
        return concluded && (!judged || concluded->confidence > judged->confidence) ? concluded
                                                                                    : judged;
    }
};

// Words, variables, compound terms and statements, each statement with the truth values held
// for it. Every term in memory is, or is part of, a statement with a belief.
class Memory {
public:
    static constexpr std::size_t MaxTerms = 100000;

    // Adds the term and all its parts that are not there yet and returns its id; or, when they
    // do not all fit, adds nothing and returns 0.
    TermId intern(const Term& term);
    // The statement <subject copula predicate> of two terms in memory; 0 when memory is full.
    TermId internStatement(TermId subject, Copula copula, TermId predicate);

    // The id of a term already in memory, or 0.
    TermId lookup(const Term& term) const;
    TermId lookupStatement(TermId subject, Copula copula, TermId predicate) const;
    // The id the statement has, or would get if there were room for it.
    TermId statementId(TermId subject, Copula copula, TermId predicate) const;

    const Record* find(TermId id) const;
    std::string textOf(TermId id) const;
    std::string statementText(TermId subject, Copula copula, TermId predicate) const;

    // Takes in a judgement. The same truth value as one already taken in for the statement, or
    // as the judgements pooled so far, changes nothing.
    enum class Judged { New, Revised, Repeated };
    Judged judge(TermId statement, const Truth& truth);
    // Keeps a conclusion when it is the first or more confident than the one held.
    void conclude(TermId statement, const Truth& truth);

    // Terms of one table, in creation order: words and variables, compounds, or statements.
    enum class Table { Words, Compounds, Statements };
    std::vector<const Record*> table(Table table) const;
    // Statements with beliefs, in the order their beliefs arrived.
    std::vector<const Record*> beliefs() const;
    // Judged statements, in the order of their first judgement: with the given copula and
    // subject, with the given copula and predicate, or with the given copula.
    const std::vector<TermId>& judgedWithSubject(TermId subject, Copula copula) const;
    const std::vector<TermId>& judgedWithPredicate(TermId predicate, Copula copula) const;
    const std::vector<TermId>& judgedWith(Copula copula) const;

    std::size_t size() const { return records.size(); }
    void clear();

private:
    struct StatementKey {
        TermId subject;
        TermId predicate;
        Copula copula;
        bool operator==(const StatementKey& other) const
        {
            return subject == other.subject && predicate == other.predicate &&
                   copula == other.copula;
        }
    };
    struct StatementHash {
        std::size_t operator()(const StatementKey& key) const;
    };
    struct SideKey {
        TermId term;
        Copula copula;
        bool operator==(const SideKey& other) const
        {
            return term == other.term && copula == other.copula;
        }
    };
    struct SideHash {
        std::size_t operator()(const SideKey& key) const;
    };

    TermId add(Record record, const std::string& key);
    TermId freeId(const std::string& key) const;

    std::unordered_map<TermId, Record> records;
    // The truth values of the judgements pooled for a statement, once there are two.
    std::unordered_map<TermId, std::vector<Truth>> evidence;
    std::vector<const Record*> order;            // records in creation order
    std::unordered_map<std::string, TermId> ids; // kind letter + text
    std::unordered_map<StatementKey, TermId, StatementHash> statements;
    std::unordered_map<SideKey, std::vector<TermId>, SideHash> bySubject;
    std::unordered_map<SideKey, std::vector<TermId>, SideHash> byPredicate;
    std::array<std::vector<TermId>, CopulaCount> byCopula;
    std::vector<TermId> beliefOrder;
};

} // namespace quor

#endif
