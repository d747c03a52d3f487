#ifndef QUOR_INFERENCE_H
#define QUOR_INFERENCE_H

#include "memory.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace quor {

// The operations that derive new beliefs.
enum OperationCode : std::uint32_t {
    DeductionOp = 0x1,
    SymmetryOp = 0x2,
};

struct Operation {
    std::uint32_t code;
    const char* name;        // one plain word
    const char* description; // the rule and its truth function
};

inline constexpr Operation Operations[] = {
    {DeductionOp, "deduction", "<S → M>, <M → P> ⊢ <S → P>; f = f1·f2, c = f1·f2·c1·c2"},
    {SymmetryOp, "symmetry", "<A ↔ B> ⊢ <B ↔ A>; the truth value is kept"},
};

// An item taking part in an inference, with its text and truth value at that moment.
struct InferenceItem {
    TermId id = 0;
    std::string text;
};

// One derivation: the items used, then the item produced.
struct Inference {
    std::uint32_t operation = DeductionOp;
    std::vector<InferenceItem> items;
};

// The most recent inferences, oldest first.
class InferenceLog {
public:
    static constexpr std::size_t Capacity = 100;

    void add(Inference inference)
    {
        if (entries.size() == Capacity)
            entries.pop_front();
        entries.push_back(std::move(inference));
    }
    const std::deque<Inference>& recent() const { return entries; }
    void clear() { entries.clear(); }

private:
    std::deque<Inference> entries;
};

} // namespace quor

#endif
