#include "parser.h"

#include <utility>

namespace quor {

namespace {

constexpr char32_t CommandMark = U'⋙';

struct CommandName {
    const char* word;
    CommandId id;
};

constexpr CommandName Commands[CommandCount] = {
    {"version", CommandId::Version},       {"debug on", CommandId::DebugOn},
    {"debug off", CommandId::DebugOff},    {"clear", CommandId::Clear},
    {"words", CommandId::Words},           {"compounds", CommandId::Compounds},
    {"statements", CommandId::Statements}, {"memory", CommandId::Memory},
    {"question", CommandId::Question},     {"inference", CommandId::Inference},
};

bool isSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == 0xA0 || c == 0xFEFF;
}

bool isLineEnd(char32_t c)
{
    return c == '\n' || c == EndOfInput;
}

// Letters, digits and '_' in ASCII; outside ASCII every letter-like character, that is all but
// Latin-1 signs, × and ÷, and the blocks of punctuation, arrows and mathematical symbols from
// which the notation takes its own symbols.
bool isWordChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    if (c == InvalidCodePoint || c == EndOfInput || c < 0xC0 || c == 0xD7 || c == 0xF7)
        return false;
    if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F))
        return false;
    return c != 0xFEFF && c != 0xFFFD;
}

bool isDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

// Symbols the editor can type that this engine does not reason with.
bool isUnsupportedSymbol(char32_t c)
{
    return c == U'⊥' || c == U'⊤' || c == U'◊' || c == U'⇑';
}

// Characters that belong to the notation, so that meeting one in the wrong place is a mistake
// in the line rather than a stray character.
bool isNotationChar(char32_t c)
{
    switch (c) {
    case '<':
    case '>':
    case '(':
    case ')':
    case '{':
    case '}':
    case '.':
    case '?':
    case '#':
    case '/':
    case '\\':
    case '|':
    case '-':
    case U'→':
    case U'↔':
    case U'⇒':
    case U'⇔':
    case U'∘':
    case U'∩':
    case U'∪':
    case U'⊖':
    case U'×':
    case U'¬':
    case U'∧':
    case U'∨':
    case CommandMark:
        return true;
    default:
        return isWordChar(c);
    }
}

std::string hex(char32_t c)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        text += digits[(c >> shift) & 0xF];
    return "U+" + text;
}

std::string describe(char32_t c)
{
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
        return hex(c);
    std::string text = "'";
    appendUtf8(text, c);
    return text + "'";
}

// Quotes user text in a message without letting it grow the message without bound.
std::string clipped(const std::string& text)
{
    constexpr std::size_t Limit = 60;
    if (text.size() <= Limit)
        return text;
    std::size_t cut = Limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "…";
}

class Parser {
public:
    Parser(std::string_view text, std::uint32_t firstLine) : scan(text, firstLine) {}

    std::vector<Item> run()
    {
        for (;;) {
            skipBlank(true);
            if (scan.atEnd())
                break;
            const char32_t c = scan.peek();
            sentenceStart = scan.position();
            if (c == '<') {
                parseSentence();
            } else if (c == CommandMark) {
                parseCommand();
            } else {
                if (c == '(' || c == '#' || isWordChar(c))
                    report(sentenceStart, BadLine,
                           "a sentence is a statement in angle brackets followed by '.' or '?', "
                           "such as <bird → animal>.");
                else
                    unexpected("a sentence '<…>.' or '<…>?', or a command '⋙ …'");
                skipRestOfLine();
            }
        }
        return std::move(items);
    }

private:
    Scanner scan;
    std::vector<Item> items;
    std::size_t reported = 0;
    Position sentenceStart;

    // Problems past the first MaxDiagnostics + 1 of the input can never be reported, as the
    // engine reports at most MaxDiagnostics problems of any kind and then says that more follow.
    void report(Position at, std::uint8_t mark, std::string message)
    {
        if (reported++ <= MaxDiagnostics)
            items.emplace_back(Diagnostic{at, mark, std::move(message)});
    }

    // Reports what stands at the current position where `expected` should be.
    void unexpected(const std::string& expected)
    {
        const char32_t c = scan.peek();
        if (isLineEnd(c))
            report(scan.position(), BadLine,
                   "the line ends before the sentence is complete: expected " + expected);
        else if (c == InvalidCodePoint)
            report(scan.position(), BadCharacter, "a byte that is not UTF-8 text");
        else if (isUnsupportedSymbol(c))
            report(scan.position(), BadCharacter,
                   "the symbol " + describe(c) + " is not supported by this engine");
        else if (!isNotationChar(c) && !isSpace(c))
            report(scan.position(), BadCharacter,
                   "unexpected character " + describe(c) + ": expected " + expected);
        else
            report(scan.position(), BadLine, "expected " + expected + ", not " + describe(c));
    }

    bool at(char32_t c, std::size_t ahead = 0) const { return scan.peek(ahead) == c; }

    // Skips blanks and comments; newlines too when `newlines` is set.
    void skipBlank(bool newlines)
    {
        for (;;) {
            const char32_t c = scan.peek();
            if (isSpace(c) || (newlines && c == '\n'))
                scan.advance();
            else if (c == '/' && at('/', 1))
                skipRestOfLine();
            else if (c == '/' && at('*', 1))
                skipBlockComment();
            else
                return;
        }
    }

    // Skips to the end of the line. A "/*" on the way opens a block comment, as the editor shows
    // it; if that comment ends on a later line, skipping stops there.
    void skipRestOfLine()
    {
        while (!isLineEnd(scan.peek())) {
            if (at('/') && at('*', 1)) {
                const std::uint32_t line = scan.position().line;
                skipBlockComment();
                if (scan.position().line != line)
                    return;
            } else {
                scan.advance();
            }
        }
    }

    // At "/*". The search for "*/" starts at the '*' of the opening pair, so "/*/" is a whole
    // comment, exactly as the editor colours it. An unclosed comment runs to the end.
    void skipBlockComment()
    {
        scan.advance();
        while (!scan.atEnd()) {
            if (at('*') && at('/', 1)) {
                scan.advance();
                scan.advance();
                return;
            }
            scan.advance();
        }
    }

    std::string readWord()
    {
        std::string word;
        while (isWordChar(scan.peek())) {
            appendUtf8(word, scan.peek());
            scan.advance();
        }
        return word;
    }

    void parseCommand()
    {
        const Position markAt = scan.position();
        scan.advance();
        skipBlank(false);
        const Position wordAt = scan.position();
        std::string words;
        while (isWordChar(scan.peek())) {
            if (!words.empty())
                words += ' ';
            words += readWord();
            skipBlank(false);
        }
        if (!isLineEnd(scan.peek())) {
            unexpected("only the command word(s) after '⋙'");
            skipRestOfLine();
            return;
        }
        if (words.empty()) {
            report(markAt, BadLine, "expected a command word after '⋙', such as ⋙ version");
            return;
        }
        for (const auto& command : Commands) {
            if (words == command.word) {
                items.emplace_back(Command{command.id, markAt});
                return;
            }
        }
        std::string known;
        for (const auto& command : Commands)
            known += std::string(known.empty() ? "" : ", ") + command.word;
        report(wordAt, BadLine,
               "unknown command '⋙ " + clipped(words) + "'; the commands are " + known);
    }

    void parseSentence()
    {
        Sentence sentence;
        sentence.at = sentenceStart;
        if (!parseStatement(sentence.statement, 1)) {
            skipRestOfLine();
            return;
        }
        skipBlank(false);
        if (at('.') || at('?')) {
            sentence.question = at('?');
            scan.advance();
        } else if (at('!')) {
            report(scan.position(), BadCharacter, "goals ('!') are not supported by this engine");
            skipRestOfLine();
            return;
        } else {
            unexpected("'.' (a judgement) or '?' (a question) after the statement");
            skipRestOfLine();
            return;
        }
        skipBlank(false);
        if (at('{')) {
            const Position truthAt = scan.position();
            Truth truth;
            if (!parseTruth(truth)) {
                skipRestOfLine();
                return;
            }
            if (sentence.question) {
                report(truthAt, Warning, "a question carries no truth value; this one is ignored");
            } else {
                sentence.truth = truth;
                sentence.hasTruth = true;
            }
        }
        items.emplace_back(std::move(sentence));
    }

    bool tooDeep(int depth)
    {
        if (depth <= MaxNesting)
            return false;
        report(scan.position(), BadLine,
               "terms are nested more than " + std::to_string(MaxNesting) + " levels deep");
        return true;
    }

    // At '<': subject, copula, predicate, '>'.
    bool parseStatement(Term& out, int depth)
    {
        if (tooDeep(depth))
            return false;
        scan.advance();
        skipBlank(false);
        Term subject;
        if (!parseTerm(subject, depth))
            return false;
        skipBlank(false);
        Copula copula;
        if (!parseCopula(copula)) {
            unexpected("a copula (→ ↔ ⇒ ⇔ ∘→ →∘ ∘→∘ /⇒ \\⇒ |⇒ /⇔ |⇔) after the subject");
            return false;
        }
        skipBlank(false);
        Term predicate;
        if (!parseTerm(predicate, depth))
            return false;
        skipBlank(false);
        if (!at('>')) {
            unexpected("'>' to close the statement");
            return false;
        }
        scan.advance();
        out = statement(std::move(subject), copula, std::move(predicate));
        return true;
    }

    bool parseTerm(Term& out, int depth)
    {
        const char32_t c = scan.peek();
        if (c == '<')
            return parseStatement(out, depth + 1);
        if (c == '(')
            return parseCompound(out, depth + 1);
        if (c == '#') {
            const Position hashAt = scan.position();
            scan.advance();
            if (!isWordChar(scan.peek())) {
                report(hashAt, BadCharacter, "a variable needs a name after '#', such as #x");
                return false;
            }
            out = variable(readWord());
            return true;
        }
        if (isWordChar(c)) {
            out = word(readWord());
            return true;
        }
        unexpected("a term: a word, a #variable, a compound term in parentheses or a statement "
                   "in angle brackets");
        return false;
    }

    bool parseCopula(Copula& copula)
    {
        const char32_t c = scan.peek();
        const char32_t next = scan.peek(1);
        std::size_t length = 1;
        if (c == U'→') {
            copula = next == U'∘' ? Copula::Property : Copula::Inheritance;
            length = next == U'∘' ? 2 : 1;
        } else if (c == U'↔') {
            copula = Copula::Similarity;
        } else if (c == U'⇒') {
            copula = Copula::Implication;
        } else if (c == U'⇔') {
            copula = Copula::Equivalence;
        } else if (c == U'∘' && next == U'→') {
            const bool both = scan.peek(2) == U'∘';
            copula = both ? Copula::InstanceProperty : Copula::Instance;
            length = both ? 3 : 2;
        } else if (c == '/' && (next == U'⇒' || next == U'⇔')) {
            copula = next == U'⇒' ? Copula::PredictiveImplication : Copula::PredictiveEquivalence;
            length = 2;
        } else if (c == '\\' && next == U'⇒') {
            copula = Copula::RetrospectiveImplication;
            length = 2;
        } else if (c == '|' && (next == U'⇒' || next == U'⇔')) {
            copula = next == U'⇒' ? Copula::ConcurrentImplication : Copula::ConcurrentEquivalence;
            length = 2;
        } else {
            return false;
        }
        while (length-- > 0)
            scan.advance();
        return true;
    }

    bool parseOperator(Operator& op)
    {
        switch (scan.peek()) {
        case U'∩':
            op = Operator::Intersection;
            break;
        case U'∪':
            op = Operator::Union;
            break;
        case U'⊖':
            op = Operator::Difference;
            break;
        case '-':
            op = Operator::Minus;
            break;
        case U'×':
            op = Operator::Product;
            break;
        case U'¬':
            op = Operator::Negation;
            break;
        case U'∧':
            op = Operator::Conjunction;
            break;
        case U'∨':
            op = Operator::Disjunction;
            break;
        default:
            return false;
        }
        scan.advance();
        return true;
    }

    // Reports the temporal conjunctions ∧/ and ∧|, which the editor knows but this engine does
    // not.
    bool temporalConjunction()
    {
        if (!at(U'∧') || !(at('/', 1) || at('|', 1)))
            return false;
        report(scan.position(), BadCharacter,
               "the operators ∧/ and ∧| are not supported by this engine");
        return true;
    }

    // At '(': "(¬ a)", or terms joined by one operator: "(a ∧ b ∧ c)", "(a ⊖ b)".
    bool parseCompound(Term& out, int depth)
    {
        if (tooDeep(depth))
            return false;
        const Position openAt = scan.position();
        scan.advance();
        skipBlank(false);
        if (at(U'¬')) {
            scan.advance();
            skipBlank(false);
            Term operand;
            if (!parseTerm(operand, depth))
                return false;
            skipBlank(false);
            if (!at(')')) {
                unexpected("')': '¬' takes exactly one term, as in (¬ a)");
                return false;
            }
            scan.advance();
            out = compound(Operator::Negation, {std::move(operand)});
            return true;
        }
        std::vector<Term> parts(1);
        if (!parseTerm(parts[0], depth))
            return false;
        skipBlank(false);
        if (at(')')) {
            report(openAt, BadLine,
                   "a compound term needs an operator between its terms, such as (a ∧ b)");
            return false;
        }
        Operator op = Operator::Intersection;
        for (;;) {
            const Position opAt = scan.position();
            Operator next;
            if (temporalConjunction())
                return false;
            if (!parseOperator(next)) {
                unexpected("an operator (∩ ∪ ⊖ - × ∧ ∨) or ')'");
                return false;
            }
            if (next == Operator::Negation) {
                report(opAt, BadLine, "'¬' stands before its one term, as in (¬ a)");
                return false;
            }
            if (parts.size() == 1) {
                op = next;
            } else if (next != op) {
                report(opAt, BadLine,
                       "different operators in one compound term: group them with parentheses, "
                       "as in ((a ∧ b) ∨ c)");
                return false;
            } else if (op == Operator::Difference || op == Operator::Minus) {
                report(opAt, BadLine, std::string("'") + symbol(op) + "' takes exactly two terms");
                return false;
            }
            skipBlank(false);
            parts.emplace_back();
            if (!parseTerm(parts.back(), depth))
                return false;
            skipBlank(false);
            if (at(')'))
                break;
        }
        scan.advance();
        out = compound(op, std::move(parts));
        return true;
    }

    // A number from 0 to 1: "0", "1", "0.9", "1.0".
    bool parseNumber(double& value)
    {
        if (!isDigit(scan.peek())) {
            unexpected("a number from 0 to 1");
            return false;
        }
        const Position numberAt = scan.position();
        double whole = 0;
        while (isDigit(scan.peek())) {
            if (whole < 10)
                whole = whole * 10 + (scan.peek() - '0');
            scan.advance();
        }
        double fraction = 0;
        double scale = 1;
        if (at('.')) {
            scan.advance();
            if (!isDigit(scan.peek())) {
                unexpected("a digit after the decimal point");
                return false;
            }
            while (isDigit(scan.peek())) {
                if (scale > 1e-12) {
                    scale /= 10;
                    fraction += (scan.peek() - '0') * scale;
                }
                scan.advance();
            }
        }
        value = whole + fraction;
        if (value > 1.0) {
            report(numberAt, BadLine, "truth values lie between 0 and 1");
            return false;
        }
        return true;
    }

    // At '{': "{frequency confidence}".
    bool parseTruth(Truth& truth)
    {
        scan.advance();
        skipBlank(false);
        double frequency = 0;
        double confidence = 0;
        if (!parseNumber(frequency))
            return false;
        if (!isSpace(scan.peek()) && !at('/')) {
            unexpected("a blank and the confidence, as in {1.0 0.9}");
            return false;
        }
        skipBlank(false);
        const Position confidenceAt = scan.position();
        if (!parseNumber(confidence))
            return false;
        skipBlank(false);
        if (!at('}')) {
            unexpected("'}' after frequency and confidence, as in {1.0 0.9}");
            return false;
        }
        scan.advance();
        truth = makeTruth(frequency, confidence);
        if (quantize(confidence) > MaxConfidence)
            report(confidenceAt, Warning,
                   "a confidence of 1 would stand for endless evidence; taken as " +
                       formatNumber(MaxConfidence));
        return true;
    }
};

} // namespace

const char* commandWord(CommandId id)
{
    for (const auto& command : Commands)
        if (command.id == id)
            return command.word;
    return "";
}

std::vector<Item> parse(std::string_view text, std::uint32_t firstLine)
{
    return Parser(text, firstLine).run();
}

} // namespace quor
