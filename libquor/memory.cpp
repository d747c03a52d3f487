#include "memory.h"

#include <algorithm>

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

const std::vector<TermId> NoIds;

} // namespace

TermId Memory::add(Record record, const std::string& key)
{
    if (records.size() >= MaxTerms)
        return 0;
    TermId id = hash(key);
    while (id == 0 || records.count(id)) // a collision takes the next free number
        ++id;
    record.id = id;
    record.serial = ++serials;
    records.emplace(id, std::move(record));
    ids.emplace(key, id);
    return id;
}

TermId Memory::intern(const Term& term)
{
    const std::string textValue = text(term);
    const std::string key = kindLetter(term.kind) + textValue;
    if (const auto it = ids.find(key); it != ids.end())
        return it->second;
    Record record;
    record.kind = term.kind;
    record.copula = term.copula;
    record.op = term.op;
    for (const Term& part : term.parts) {
        const TermId partId = intern(part);
        if (partId == 0)
            return 0;
        record.parts.push_back(partId);
    }
    record.text = textValue;
    return add(std::move(record), key);
}

TermId Memory::internStatement(TermId subject, Copula copula, TermId predicate)
{
    const Record* s = find(subject);
    const Record* p = find(predicate);
    if (!s || !p)
        return 0;
    std::string textValue = '<' + s->text + ' ' + symbol(copula) + ' ' + p->text + '>';
    const std::string key = 's' + textValue;
    if (const auto it = ids.find(key); it != ids.end())
        return it->second;
    Record record;
    record.kind = Term::Kind::Statement;
    record.copula = copula;
    record.parts = {subject, predicate};
    record.text = std::move(textValue);
    return add(std::move(record), key);
}

TermId Memory::lookup(const Term& term) const
{
    const auto it = ids.find(kindLetter(term.kind) + text(term));
    return it == ids.end() ? 0 : it->second;
}

TermId Memory::lookupStatement(TermId subject, Copula copula, TermId predicate) const
{
    const Record* s = find(subject);
    const Record* p = find(predicate);
    if (!s || !p)
        return 0;
    const auto it = ids.find("s<" + s->text + ' ' + symbol(copula) + ' ' + p->text + '>');
    return it == ids.end() ? 0 : it->second;
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

void Memory::setBelief(TermId statement, const Truth& truth)
{
    const auto it = records.find(statement);
    if (it == records.end() || it->second.kind != Term::Kind::Statement)
        return;
    Record& record = it->second;
    if (!record.belief) {
        record.beliefSerial = ++beliefSerials;
        bySubject[record.parts[0]].push_back(statement);
    }
    record.belief = truth;
}

std::vector<const Record*> Memory::table(Table which) const
{
    std::vector<const Record*> result;
    for (const auto& entry : records) {
        const Term::Kind kind = entry.second.kind;
        const bool wanted = which == Table::Words
                                ? (kind == Term::Kind::Word || kind == Term::Kind::Variable)
                                : kind == (which == Table::Compounds ? Term::Kind::Compound
                                                                     : Term::Kind::Statement);
        if (wanted)
            result.push_back(&entry.second);
    }
    std::sort(result.begin(), result.end(),
              [](const Record* a, const Record* b) { return a->serial < b->serial; });
    return result;
}

std::vector<const Record*> Memory::beliefs() const
{
    std::vector<const Record*> result;
    for (const auto& entry : records)
        if (entry.second.belief)
            result.push_back(&entry.second);
    std::sort(result.begin(), result.end(),
              [](const Record* a, const Record* b) { return a->beliefSerial < b->beliefSerial; });
    return result;
}

const std::vector<TermId>& Memory::beliefsAbout(TermId subject) const
{
    const auto it = bySubject.find(subject);
    return it == bySubject.end() ? NoIds : it->second;
}

void Memory::clear()
{
    records.clear();
    ids.clear();
    bySubject.clear();
    serials = 0;
    beliefSerials = 0;
}

} // namespace quor
