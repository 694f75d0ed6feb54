#include "RegexReplacement.h"

#include "FormulaEngine.h"
#include "FormulaErrorText.h"
#include "NumberText.h"
#include "ReplaceGroup.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <string>
#include <vector>

namespace
{
    // Enough for any sensible pattern on a large file, small enough that a
    // pattern that backtracks without end fails its file within a second.
    constexpr uint32_t matchLimit = 5'000'000;
    constexpr size_t jitStackStart = 32 * 1024, jitStackMax = 4 * 1024 * 1024;

    template<class Type, void (*release) (Type*)>
    struct Releaser
    {
        void operator() (Type* object) const { release (object); }
    };

    using CodePtr = std::unique_ptr<pcre2_code, Releaser<pcre2_code, pcre2_code_free>>;
    using CompileContextPtr = std::unique_ptr<pcre2_compile_context, Releaser<pcre2_compile_context, pcre2_compile_context_free>>;
    using MatchContextPtr = std::unique_ptr<pcre2_match_context, Releaser<pcre2_match_context, pcre2_match_context_free>>;
    using MatchDataPtr = std::unique_ptr<pcre2_match_data, Releaser<pcre2_match_data, pcre2_match_data_free>>;
    using JitStackPtr = std::unique_ptr<pcre2_jit_stack, Releaser<pcre2_jit_stack, pcre2_jit_stack_free>>;

    juce::String pcreMessage (int errorCode)
    {
        PCRE2_UCHAR buffer[256];
        if (pcre2_get_error_message (errorCode, buffer, sizeof buffer) < 0)
            return "error " + juce::String (errorCode);
        return juce::String::fromUTF8 (reinterpret_cast<const char*> (buffer));
    }

    bool isNameCharacter (char c)
    {
        return c == '_' || c == '.' || juce::CharacterFunctions::isLetterOrDigit (c);
    }

    /** Whether the formula text names the variable (as a whole name). */
    bool mentions (const std::string& formula, const std::string& name)
    {
        for (auto at = formula.find (name); at != std::string::npos; at = formula.find (name, at + 1))
        {
            const auto end = at + name.size();
            if ((at == 0 || ! isNameCharacter (formula[at - 1])) && (end == formula.size() || ! isNameCharacter (formula[end])))
                return true;
        }
        return false;
    }

    juce::String caretUnder (const juce::String& text, int characterIndex)
    {
        juce::String line;
        for (int i = 0; i < characterIndex && i < text.length(); ++i)
            line << (text[i] == '\t' ? "\t" : " ");
        return line + "^";
    }

    struct AbortableExpression : Expr::Expression
    {
        const std::atomic<bool>* abortFlag = nullptr;
        bool CheckAbort() override { return abortFlag != nullptr && abortFlag->load(); }
    };

    /** One part of the replacement: literal text, a group's text or a formula's value. */
    struct Piece
    {
        enum class Kind
        {
            literal,
            group,
            formula
        };

        Kind kind = Kind::literal;
        std::string literal;
        int group = 0;
        size_t formula = 0;
    };

    /** A formula's reading of one group, into one variable. */
    struct GroupVariable
    {
        int group = 0;
        std::string name;
        double* cell = nullptr;
    };

    struct FormulaUse
    {
        std::unique_ptr<AbortableExpression> expression;
        std::vector<GroupVariable> reads;
    };
}

struct RegexReplacement::Compiled
{
    CodePtr code;
    MatchContextPtr matchContext;
    MatchDataPtr matchData;
    JitStackPtr jitStack;
    int groupCount = 0;
    std::vector<Piece> pieces;
    std::vector<FormulaUse> formulas;

    BatchOperation::Refusal compile (const juce::String& pattern);
    BatchOperation::Refusal parseReplacement (const juce::String& replacement, FormulaEngine* engine);
    BatchOperation::Refusal addGroupReference (const juce::String& reference, int position);
    BatchOperation::Refusal addFormula (const std::string& text, FormulaEngine& engine);
    juce::Result buildReplacement (std::string_view subject, const PCRE2_SIZE* ovector, std::string& out);
};

BatchOperation::Refusal RegexReplacement::Compiled::compile (const juce::String& pattern)
{
    CompileContextPtr context (pcre2_compile_context_create (nullptr));
    if (context == nullptr)
        return { "Out of memory", "There is not enough memory to prepare the regular expression." };
    // A file's lines may end in LF, CR LF or CR: ^ and $ take all three.
    pcre2_set_newline (context.get(), PCRE2_NEWLINE_ANYCRLF);

    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    code.reset (pcre2_compile (reinterpret_cast<PCRE2_SPTR> (pattern.toRawUTF8()), pattern.getNumBytesAsUTF8(),
                               PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE, &errorCode, &errorOffset, context.get()));
    if (code == nullptr)
    {
        const auto character = juce::String::fromUTF8 (pattern.toRawUTF8(), static_cast<int> (errorOffset)).length();
        return { "Invalid Regular Expression",
                 "The regular expression could not be compiled: " + pcreMessage (errorCode) + " at character "
                     + juce::String (character + 1) + ".\n" + pattern + "\n" + caretUnder (pattern, character) };
    }

    // Without the JIT the interpreter matches the same, only slower.
    pcre2_jit_compile (code.get(), PCRE2_JIT_COMPLETE);
    matchContext.reset (pcre2_match_context_create (nullptr));
    pcre2_set_match_limit (matchContext.get(), matchLimit);
    jitStack.reset (pcre2_jit_stack_create (jitStackStart, jitStackMax, nullptr));
    if (jitStack != nullptr)
        pcre2_jit_stack_assign (matchContext.get(), nullptr, jitStack.get());
    matchData.reset (pcre2_match_data_create_from_pattern (code.get(), nullptr));
    if (matchContext == nullptr || matchData == nullptr)
        return { "Out of memory", "There is not enough memory to prepare the regular expression." };

    uint32_t captures = 0;
    pcre2_pattern_info (code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
    groupCount = static_cast<int> (captures);
    return {};
}

BatchOperation::Refusal RegexReplacement::Compiled::addGroupReference (const juce::String& reference, int position)
{
    Piece piece;
    piece.kind = Piece::Kind::group;
    if (reference.containsOnly ("0123456789"))
    {
        piece.group = reference.getIntValue();
        if (piece.group > groupCount)
            return { "Invalid Replacement", "The replacement refers to group " + reference + " at character "
                                                + juce::String (position + 1) + ", but the regular expression has "
                                                + juce::String (groupCount) + (groupCount == 1 ? " group." : " groups.") };
    }
    else
    {
        piece.group = pcre2_substring_number_from_name (code.get(), reinterpret_cast<PCRE2_SPTR> (reference.toRawUTF8()));
        if (piece.group < 0)
            return { "Invalid Replacement", "The replacement refers to a group named '" + reference + "' at character "
                                                + juce::String (position + 1)
                                                + ", but the regular expression has no group of that name." };
    }
    pieces.push_back (piece);
    return {};
}

BatchOperation::Refusal RegexReplacement::Compiled::addFormula (const std::string& text, FormulaEngine& engine)
{
    FormulaUse use;
    auto& values = engine.getValues();

    // The groups a formula names become variables before it is parsed, so
    // that the parse finds them rather than creating them.
    const auto bind = [&] (int group, const std::string& name) {
        // A constant keeps its value: a group named like one is not read into it.
        if (! mentions (text, name) || values.IsConstant (name))
            return;
        if (values.AddressOf (name) == nullptr)
            values.Add (name, 0.0, false);
        use.reads.push_back ({ group, name, nullptr });
    };
    for (int group = 1; group <= groupCount; ++group)
        bind (group, "_" + std::to_string (group));

    uint32_t nameCount = 0, entrySize = 0;
    PCRE2_SPTR table = nullptr;
    pcre2_pattern_info (code.get(), PCRE2_INFO_NAMECOUNT, &nameCount);
    pcre2_pattern_info (code.get(), PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
    pcre2_pattern_info (code.get(), PCRE2_INFO_NAMETABLE, &table);
    for (uint32_t i = 0; i < nameCount; ++i)
    {
        const auto* entry = table + i * entrySize;
        bind (entry[0] << 8 | entry[1], reinterpret_cast<const char*> (entry + 2));
    }

    use.expression = std::make_unique<AbortableExpression>();
    use.expression->SetValueList (&values);
    use.expression->SetFunctionList (&engine.getFunctions());
    try
    {
        use.expression->Parse (text);
    }
    catch (const Expr::Exception& error)
    {
        return { "Invalid Formula", "The formula '" + juce::String::fromUTF8 (text.c_str()) + "' in the replacement could not be evaluated.\n"
                                        + describeFormulaError (error) };
    }

    for (auto& read : use.reads)
        read.cell = values.AddressOf (read.name);

    Piece piece;
    piece.kind = Piece::Kind::formula;
    piece.formula = formulas.size();
    pieces.push_back (piece);
    formulas.push_back (std::move (use));
    return {};
}

BatchOperation::Refusal RegexReplacement::Compiled::parseReplacement (const juce::String& replacement, FormulaEngine* engine)
{
    const auto refuseDollar = [] (int position, const juce::String& why) -> BatchOperation::Refusal {
        return { "Invalid Replacement", "The replacement has " + why + " at character " + juce::String (position + 1)
                                            + ": write $$ for a dollar sign, $1 or ${name} for a group, ${= formula } for a number." };
    };

    juce::String literal;
    const auto flushLiteral = [&] {
        if (literal.isNotEmpty())
            pieces.push_back ({ Piece::Kind::literal, literal.toStdString(), 0, 0 });
        literal.clear();
    };

    const int length = replacement.length();
    for (int i = 0; i < length; ++i)
    {
        if (replacement[i] != '$')
        {
            literal << juce::String::charToString (replacement[i]);
            continue;
        }

        const juce::juce_wchar next = i + 1 < length ? replacement[i + 1] : 0;
        if (next == '$')
        {
            literal << "$";
            ++i;
        }
        else if (juce::CharacterFunctions::isDigit (next))
        {
            int end = i + 1;
            while (end < length && end < i + 3 && juce::CharacterFunctions::isDigit (replacement[end]))
                ++end;
            flushLiteral();
            if (auto refused = addGroupReference (replacement.substring (i + 1, end), i); refused.isRefused())
                return refused;
            i = end - 1;
        }
        else if (next == '{')
        {
            // Braces inside a formula nest; the reference ends at the brace that closes the first.
            int depth = 0, end = i + 1;
            for (; end < length; ++end)
            {
                depth += replacement[end] == '{' ? 1 : replacement[end] == '}' ? -1
                                                                               : 0;
                if (depth == 0)
                    break;
            }
            if (end >= length)
                return refuseDollar (i, "a '${' that is never closed");

            const auto inside = replacement.substring (i + 2, end);
            flushLiteral();
            auto refused = inside.startsWith ("=") ? (engine != nullptr ? addFormula (inside.substring (1).toStdString(), *engine)
                                                                        : refuseDollar (i, "a formula, which needs the formula engine"))
                         : inside.isEmpty()        ? refuseDollar (i, "an empty '${}'")
                                                   : addGroupReference (inside, i);
            if (refused.isRefused())
                return refused;
            i = end;
        }
        else
            return refuseDollar (i, "a '$' that starts nothing");
    }
    flushLiteral();
    return {};
}

juce::Result RegexReplacement::Compiled::buildReplacement (std::string_view subject, const PCRE2_SIZE* ovector, std::string& out)
{
    const auto groupText = [&] (int group) -> std::string_view {
        const auto start = ovector[2 * group], end = ovector[2 * group + 1];
        if (start == PCRE2_UNSET || end < start)
            return {};
        return subject.substr (start, end - start);
    };

    for (const auto& piece : pieces)
    {
        if (piece.kind == Piece::Kind::literal)
            out += piece.literal;
        else if (piece.kind == Piece::Kind::group)
            out += groupText (piece.group);
        else
        {
            auto& use = formulas[piece.formula];
            for (const auto& read : use.reads)
            {
                const auto text = groupText (read.group);
                const auto number = NumberText::readNumber (text);
                if (! number)
                    return juce::Result::fail ("the formula reads " + juce::String (read.name) + ", but the group holds no number ('"
                                               + juce::String::fromUTF8 (text.data(), static_cast<int> (text.size())) + "')");
                *read.cell = *number;
            }
            out += NumberText::writeNumber (use.expression->Compute());
        }
    }
    return juce::Result::ok();
}

RegexReplacement::RegexReplacement (FormulaEngine& formulaEngine)
    : engine (&formulaEngine)
{
}

RegexReplacement::RegexReplacement() = default;

RegexReplacement::~RegexReplacement() = default;

BatchOperation::Refusal RegexReplacement::prepare (const juce::String& pattern, const juce::String& replacement)
{
    literal.reset();
    compiled = std::make_unique<Compiled>();
    if (auto refused = compiled->compile (pattern); refused.isRefused())
        return refused;
    return compiled->parseReplacement (replacement, engine);
}

BatchOperation::Refusal RegexReplacement::prepareLiteral (const juce::String& what, const juce::String& with)
{
    jassert (what.isNotEmpty());
    // A plain text needs no pattern: a byte search finds it faster, and in
    // UTF-8 a match of whole characters can only start at a character.
    compiled.reset();
    literal.emplace (what, with);
    literalBytes = { what.toStdString(), with.toStdString() };
    return {};
}

juce::Result RegexReplacement::checkEncoding (XmlTextEncoding::Kind kind) const
{
    if (! literal.has_value())
        return juce::Result::ok();


    // A text the file cannot hold fails the file even where it would not match,
    // as it always has: the file's encoding, not chance, decides.
    const bool whatFits = XmlTextEncoding::encode (literal->first, kind).has_value();
    if (whatFits && XmlTextEncoding::encode (literal->second, kind).has_value())
        return juce::Result::ok();
    const juce::String name = kind == XmlTextEncoding::Kind::ascii ? "US-ASCII" : "Latin-1";
    return juce::Result::fail ("the file is " + name + " text that cannot hold the characters of the "
                               + juce::String (whatFits ? "replacement" : "search") + " text");
}

bool RegexReplacement::hasFormulas() const
{
    return compiled != nullptr && ! compiled->formulas.empty();
}

void RegexReplacement::setAbortFlag (const std::atomic<bool>* flag)
{
    if (compiled != nullptr)
        for (auto& use : compiled->formulas)
            use.expression->abortFlag = flag;
}

namespace
{
    juce::String matchFailure (int errorCode)
    {
        switch (errorCode)
        {
            case PCRE2_ERROR_MATCHLIMIT:
                return "the pattern needs too much work on this file (match limit)";
            case PCRE2_ERROR_DEPTHLIMIT:
            case PCRE2_ERROR_HEAPLIMIT:
            case PCRE2_ERROR_JIT_STACKLIMIT:
                return "the pattern needs too much memory on this file (" + pcreMessage (errorCode) + ")";
            default:
                return "the pattern could not be matched on this file (" + pcreMessage (errorCode) + ")";
        }
    }
}

std::optional<RegexReplacement::Match> RegexReplacement::findFrom (std::string_view text, size_t start, juce::Result& failure)
{
    if (literal.has_value())
    {
        const auto found = text.find (literalBytes.first, start);
        if (found == std::string::npos)
            return std::nullopt;
        return Match { found, found + literalBytes.first.size() };
    }

    jassert (compiled != nullptr && compiled->code != nullptr);
    auto& c = *compiled;
    const int found = pcre2_match (c.code.get(), reinterpret_cast<PCRE2_SPTR> (text.data()), text.size(), start, 0,
                                   c.matchData.get(), c.matchContext.get());
    if (found == PCRE2_ERROR_NOMATCH)
        return std::nullopt;
    if (found < 0)
    {
        failure = juce::Result::fail (matchFailure (found));
        return std::nullopt;
    }

    // \K in a lookahead may end a match before its start: it then replaces nothing.
    const auto* ovector = pcre2_get_ovector_pointer (c.matchData.get());
    return Match { ovector[0], std::max (ovector[0], ovector[1]) };
}

juce::Result RegexReplacement::appendReplacement (std::string_view text, std::string& out)
{
    if (literal.has_value())
    {
        out += literalBytes.second;
        return juce::Result::ok();
    }

    jassert (compiled != nullptr);
    return compiled->buildReplacement (text, pcre2_get_ovector_pointer (compiled->matchData.get()), out);
}

FileRewrite RegexReplacement::apply (std::string_view original)
{
    ReplaceGroup group;
    group.add (*this, 1, {});
    return group.apply (original);
}
