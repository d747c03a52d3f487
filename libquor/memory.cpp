#include "memory.h"

#include <algorithm>
#include <string_view>

namespace quor {

namespace {

char kindLetter(Term::Kind kind)
{
    switch (kind) {
    case Term::Kind::Word:
        return 'w';
    case Term::Kind::Variable:
        return 'v';
    case Term::Kind::Compound:
        return 'c';
    case Term::Kind::Statement:
        return 's';
    }
    return '?';
}

// FNV-1a, 64 bits.
std::uint64_t hash(const std::string& key)
{
    std::uint64_t value = 14695981039346656037ull;
    for (const unsigned char byte : key) {
        value ^= byte;
        value *= 1099511628211ull;
    }
    return value;
}

std::size_t mix(std::uint64_t a, std::uint64_t b)
{
    return static_cast<std::size_t>(a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull));
}

const std::vector<TermId> NoIds;

// A term about to be interned, every part before the term it belongs to: its key (kind letter and
// text), the number of list entries its own parts and it take up, and its id once it has one.
struct Pending {
    const Term* term = nullptr;
    std::string key;
    std::size_t size = 1;
    TermId id = 0;
};

// The places in the list of the parts of the term at `at`, in order.
std::vector<std::size_t> partsOf(const std::vector<Pending>& list, std::size_t at)
{
    std::vector<std::size_t> parts(list[at].term->parts.size());
    std::size_t end = at;
    for (std::size_t k = parts.size(); k-- > 0;) {
        parts[k] = end - 1;
        end -= list[end - 1].size;
    }
    return parts;
}

void flatten(const Term& term, std::vector<Pending>& list)
{
    const std::size_t start = list.size();
    for (const Term& part : term.parts)
        flatten(part, list);
    std::vector<std::string_view> partTexts(term.parts.size());
    std::size_t end = list.size();
    for (std::size_t k = partTexts.size(); k-- > 0;) {
        partTexts[k] = std::string_view(list[end - 1].key).substr(1);
        end -= list[end - 1].size;
    }
    Pending node;
    node.term = &term;
    node.size = list.size() - start + 1;
    node.key = kindLetter(term.kind) + text(term, partTexts);
    list.push_back(std::move(node));
}

bool moreConfident(const std::optional<Truth>& a, const std::optional<Truth>& b)
{
    return a && (!b || a->confidence > b->confidence);
}

} // namespace

std::size_t Memory::StatementHash::operator()(const StatementKey& key) const
{
    return mix(key.subject, key.predicate * 31 + static_cast<std::uint64_t>(key.copula));
}

std::size_t Memory::SideHash::operator()(const SideKey& key) const
{
    return mix(key.term, static_cast<std::uint64_t>(key.copula));
}

TermId Memory::freeId(const std::string& key) const
{
    TermId id = hash(key);
    while (id == 0 || records.count(id)) // a collision takes the next free number
        ++id;
    return id;
}

TermId Memory::add(Record record, const std::string& key)
{
    const TermId id = freeId(key);
    record.id = id;
    if (record.kind == Term::Kind::Statement)
        statements.emplace(StatementKey{record.parts[0], record.parts[1], record.copula}, id);
    order.push_back(&records.emplace(id, std::move(record)).first->second);
    ids.emplace(key, id);
    return id;
}

TermId Memory::intern(const Term& term)
{
    if (const auto it = ids.find(kindLetter(term.kind) + text(term)); it != ids.end())
        return it->second; // held already, as most often
    std::vector<Pending> list;
    list.reserve(8);
    flatten(term, list);
    // Count what is new first, so that a term that does not fit leaves nothing behind. A part
    // that occurs twice in the term is new once: `first` is its first place.
    std::vector<std::size_t> first(list.size());
    std::unordered_map<std::string_view, std::size_t> seen;
    std::size_t missing = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        first[i] = i;
        if (const auto it = ids.find(list[i].key); it != ids.end()) {
            list[i].id = it->second;
            continue;
        }
        if (list.size() <= 16) { // few parts: a look along the list costs less than a map
            for (std::size_t j = 0; j < i && first[i] == i; ++j)
                if (list[j].id == 0 && list[j].key == list[i].key)
                    first[i] = first[j];
        } else {
            first[i] = seen.emplace(list[i].key, i).first->second;
        }
        if (first[i] == i)
            ++missing;
    }
    if (records.size() + missing > MaxTerms)
        return 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].id != 0)
            continue;
        if (first[i] != i) {
            list[i].id = list[first[i]].id;
            continue;
        }
        const Term& shape = *list[i].term;
        Record record;
        record.kind = shape.kind;
        record.copula = shape.copula;
        record.op = shape.op;
        for (const std::size_t part : partsOf(list, i))
            record.parts.push_back(list[part].id);
        record.text = list[i].key.substr(1);
        list[i].id = add(std::move(record), list[i].key);
    }
    return list.back().id;
}

std::string Memory::statementText(TermId subject, Copula copula, TermId predicate) const
{
    return '<' + textOf(subject) + ' ' + symbol(copula) + ' ' + textOf(predicate) + '>';
}

TermId Memory::internStatement(TermId subject, Copula copula, TermId predicate)
{
    if (const TermId held = lookupStatement(subject, copula, predicate))
        return held;
    if (!find(subject) || !find(predicate) || records.size() >= MaxTerms)
        return 0;
    Record record;
    record.kind = Term::Kind::Statement;
    record.copula = copula;
    record.parts = {subject, predicate};
    record.text = statementText(subject, copula, predicate);
    const std::string key = 's' + record.text;
    return add(std::move(record), key);
}

TermId Memory::lookup(const Term& term) const
{
    const auto it = ids.find(kindLetter(term.kind) + text(term));
    return it == ids.end() ? 0 : it->second;
}

TermId Memory::lookupStatement(TermId subject, Copula copula, TermId predicate) const
{
    const auto it = statements.find(StatementKey{subject, predicate, copula});
    return it == statements.end() ? 0 : it->second;
}

TermId Memory::statementId(TermId subject, Copula copula, TermId predicate) const
{
    if (const TermId held = lookupStatement(subject, copula, predicate))
        return held;
    return freeId('s' + statementText(subject, copula, predicate));
}

const Record* Memory::find(TermId id) const
{
    const auto it = records.find(id);
    return it == records.end() ? nullptr : &it->second;
}

std::string Memory::textOf(TermId id) const
{
    const Record* record = find(id);
    return record ? record->text : std::string();
}

Memory::Judged Memory::judge(TermId statement, const Truth& truth)
{
    const auto it = records.find(statement);
    if (it == records.end() || it->second.kind != Term::Kind::Statement)
        return Judged::Repeated;
    Record& record = it->second;
    if (record.judged == truth)
        return Judged::Repeated;
    if (!record.judged) {
        const bool hadBelief = record.concluded.has_value();
        record.judged = truth;
        bySubject[SideKey{record.parts[0], record.copula}].push_back(statement);
        byPredicate[SideKey{record.parts[1], record.copula}].push_back(statement);
        byCopula[static_cast<std::size_t>(record.copula)].push_back(statement);
        if (!hadBelief)
            beliefOrder.push_back(statement);
        return Judged::New;
    }
    std::vector<Truth>& pooled = evidence[statement];
    if (std::find(pooled.begin(), pooled.end(), truth) != pooled.end())
        return Judged::Repeated;
    if (pooled.empty()) // the first judgement, until now the pooled value
        pooled.push_back(*record.judged);
    pooled.push_back(truth);
    record.judged = revision(*record.judged, truth);
    return Judged::Revised;
}

void Memory::conclude(TermId statement, const Truth& truth)
{
    const auto it = records.find(statement);
    if (it == records.end() || it->second.kind != Term::Kind::Statement)
        return;
    Record& record = it->second;
    if (!moreConfident(truth, record.concluded))
        return;
    if (!record.judged && !record.concluded)
        beliefOrder.push_back(statement);
    record.concluded = truth;
}

std::vector<const Record*> Memory::table(Table which) const
{
    std::vector<const Record*> result;
    for (const Record* record : order) {
        const Term::Kind kind = record->kind;
        const bool wanted = which == Table::Words
                                ? (kind == Term::Kind::Word || kind == Term::Kind::Variable)
                                : kind == (which == Table::Compounds ? Term::Kind::Compound
                                                                     : Term::Kind::Statement);
        if (wanted)
            result.push_back(record);
    }
    return result;
}

std::vector<const Record*> Memory::beliefs() const
{
    std::vector<const Record*> result;
    result.reserve(beliefOrder.size());
    for (const TermId id : beliefOrder)
        result.push_back(find(id));
    return result;
}

const std::vector<TermId>& Memory::judgedWithSubject(TermId subject, Copula copula) const
{
    const auto it = bySubject.find(SideKey{subject, copula});
    return it == bySubject.end() ? NoIds : it->second;
}

const std::vector<TermId>& Memory::judgedWithPredicate(TermId predicate, Copula copula) const
{
    const auto it = byPredicate.find(SideKey{predicate, copula});
    return it == byPredicate.end() ? NoIds : it->second;
}

const std::vector<TermId>& Memory::judgedWith(Copula copula) const
{
    return byCopula[static_cast<std::size_t>(copula)];
}

void Memory::clear()
{
    records.clear();
    order.clear();
    ids.clear();
    statements.clear();
    bySubject.clear();
    byPredicate.clear();
    for (auto& statements : byCopula)
        statements.clear();
    beliefOrder.clear();
    evidence.clear();
}

} // namespace quor
