// SPDX-License-Identifier: MIT

// The parser: one precedence-climbing function over a table of priorities, which writes the
// program as it reads, each operation after its operands, so the program runs in the order
// of the tree. The program works on an accumulator: a value stays in it from one operation
// to the next, and goes to a temporary only while another operand is computed. The
// recursion is bounded, so no text can exhaust the stack.

#include "formula/lexer.h"
#include "formula/ops.h"
#include "solver/equation.h"

#include <algorithm>
#include <bit>
#include <numbers>
#include <unordered_map>

namespace formula {

namespace {

// A unary minus binds tighter than * and looser than ^: -2*y is (-2)*y, -y^2 is -(y^2).
constexpr int kUnary = 30;

// An operator continues an expression whose operators so far bind at least `minimum` when
// its left priority reaches it; its right operand is read with its right priority as the
// minimum. A right priority above the left makes it left-associative, below, right.
struct Binary
{
    Kind kind;
    Op op;
    Op reversed; // the same operation with the accumulator on the right
    int left;
    int right;
};

constexpr Binary kBinary[] = {
    {Kind::Plus, Op::Add, Op::Add, 10, 11},    {Kind::Minus, Op::Sub, Op::SubFrom, 10, 11},
    {Kind::Times, Op::Mul, Op::Mul, 20, 21},   {Kind::Divide, Op::Div, Op::DivInto, 20, 21},
    {Kind::Power, Op::Pow, Op::PowOf, 41, 40},
};

const Binary *binary(Kind kind)
{
    for (const Binary &b : kBinary)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

bool startsOperand(Kind kind)
{
    return kind == Kind::Number || kind == Kind::Name || kind == Kind::Slope || kind == Kind::Open;
}

} // namespace

class Compiler
{
public:
    explicit Compiler(std::string_view text) : m_text(text), m_lex(text) {}

    std::shared_ptr<const Program> compile();

private:
    // An operand as parsed: x, y, z, a constant or a parameter, or a value computed into
    // the accumulator. Of the values computed and not yet used, only the last one is
    // there; a computation that starts while it is stores it in a temporary first.
    struct Ref
    {
        bool computed;
        Program::Operand leaf;
    };
    static constexpr Ref kX{false, {Program::kFrame, 0}}, kY{false, {Program::kFrame, 1}},
        kZ{false, {Program::kFrame, 2}};
    // Frame slots 0 to 2 are x, y and z, the temporaries follow.
    static constexpr std::uint32_t kFirstTemporary = 3;

    Ref expression(int minimum, int depth);
    Ref operand(int depth);
    Ref name(const Token &t, int depth);
    Ref constant(double v);
    Ref parameter(const Token &t);
    Ref binaryOp(const Binary &op, std::size_t column, Ref a, Ref b);
    Ref unaryOp(Op op, std::size_t column, Ref a);
    void load(Program::Operand leaf);
    void put(Op op, Program::Operand operand, std::size_t column = 0);
    void close();

    std::string_view m_text;
    Lexer m_lex;
    std::vector<std::string> m_parameters;
    std::vector<double> m_constants;
    std::unordered_map<std::uint64_t, std::uint32_t> m_constantSlots; // by the bits
    std::vector<Program::Instruction> m_code;
    std::vector<std::uint32_t> m_columns;
    // The temporaries that hold computed values waiting for their operator, the last one
    // stored on top: they are used last in, first out.
    std::uint32_t m_stored = 0;
    std::uint32_t m_mostStored = 0;
    bool m_usesX = false;
    bool m_usesSlope = false;
};

Compiler::Ref Compiler::expression(int minimum, int depth)
{
    if (depth > kMaxDepth)
        fail(m_lex.column(), "nested too deeply");
    Ref left = operand(depth);
    for (;;) {
        const Token &next = m_lex.peek();
        const Binary *op = binary(next.kind);
        if (op == nullptr) {
            if (startsOperand(next.kind))
                fail(m_lex.column(), "'*' expected between two operands",
                     " (no implicit multiplication)");
            return left;
        }
        if (op->left < minimum)
            return left;
        const std::size_t column = m_lex.column();
        m_lex.take();
        const Ref right = expression(op->right, depth + 1);
        left = binaryOp(*op, column, left, right);
    }
}

Compiler::Ref Compiler::operand(int depth)
{
    const std::size_t column = m_lex.column();
    const Token t = m_lex.take();
    switch (t.kind) {
    case Kind::Number:
        return constant(t.number);
    case Kind::Slope:
        m_usesSlope = true;
        return kZ;
    case Kind::Name:
        return name(t, depth);
    case Kind::Open: {
        const Ref inner = expression(0, depth + 1);
        close();
        return inner;
    }
    case Kind::Minus: {
        const Ref negated = expression(kUnary, depth + 1);
        // Negation is exact: a negated constant is the constant of the other sign.
        if (!negated.computed && negated.leaf.space == Program::kConstants)
            return constant(-m_constants[negated.leaf.index]);
        return unaryOp(Op::Neg, column, negated);
    }
    case Kind::Plus:
        return expression(kUnary, depth + 1);
    default:
        fail(column, "an operand expected");
    }
}

Compiler::Ref Compiler::name(const Token &t, int depth)
{
    const std::string_view text = m_text.substr(t.begin, t.end - t.begin);
    if (text == "x")
        return m_usesX = true, kX;
    if (text == "y")
        return kY;
    if (text == "pi")
        return constant(std::numbers::pi);
    if (text == "e")
        return constant(std::numbers::e);
    const auto f = std::find_if(std::begin(kFunctions), std::end(kFunctions),
                                [text](const Function &f) { return f.name == text; });
    if (f == std::end(kFunctions)) {
        if (m_lex.peek().kind == Kind::Open)
            fail(t.begin + 1, "unknown function " + quoted(text));
        return parameter(t);
    }
    if (m_lex.peek().kind != Kind::Open)
        fail(m_lex.column(), "'(' expected after " + quoted(text));
    m_lex.take();
    const Ref argument = expression(0, depth + 1);
    close();
    return unaryOp(f->op, t.begin + 1, argument);
}

Compiler::Ref Compiler::parameter(const Token &t)
{
    const std::string_view text = m_text.substr(t.begin, t.end - t.begin);
    const auto found = std::find(m_parameters.begin(), m_parameters.end(), text);
    if (found != m_parameters.end())
        return {false,
                {Program::kValues, static_cast<std::uint32_t>(found - m_parameters.begin())}};
    if (m_parameters.size() == solver::kMaxParameters)
        fail(t.begin + 1, "more than " + std::to_string(solver::kMaxParameters) + " parameters");
    m_parameters.emplace_back(text);
    return {false, {Program::kValues, static_cast<std::uint32_t>(m_parameters.size() - 1)}};
}

Compiler::Ref Compiler::constant(double v)
{
    const auto [at, added] = m_constantSlots.try_emplace(
        std::bit_cast<std::uint64_t>(v), static_cast<std::uint32_t>(m_constants.size()));
    if (added)
        m_constants.push_back(v);
    return {false, {Program::kConstants, at->second}};
}

// The operator's one operation comes after both operands, whichever of them is in the
// accumulator: the order of the tree stays, only the side the operand is read from changes.
Compiler::Ref Compiler::binaryOp(const Binary &op, std::size_t column, Ref a, Ref b)
{
    // a^2 is a*a, the square rounded once, as the C++ compiler makes of pow(a, 2.0): so it
    // is in the built-in Cosmos g, where the library's pow could be an ulp off.
    if (op.op == Op::Pow && !b.computed && b.leaf.space == Program::kConstants &&
        m_constants[b.leaf.index] == 2.0)
        return unaryOp(Op::Square, column, a);
    if (!a.computed && !b.computed) {
        load(a.leaf);
        put(op.op, b.leaf, column);
    } else if (!b.computed) {
        put(op.op, b.leaf, column); // a is the last value computed
    } else if (!a.computed) {
        put(op.reversed, a.leaf, column);
    } else {
        // a was stored when b's computation began, and is the last one stored.
        put(op.reversed, {Program::kFrame, kFirstTemporary + --m_stored}, column);
    }
    return {true, {}};
}

Compiler::Ref Compiler::unaryOp(Op op, std::size_t column, Ref a)
{
    if (!a.computed)
        load(a.leaf);
    put(op, {}, column);
    return {true, {}};
}

void Compiler::load(Program::Operand leaf)
{
    // Whatever the accumulator holds is an operand still waiting for its operator.
    if (!m_code.empty()) {
        put(Op::Store, {Program::kFrame, kFirstTemporary + m_stored++});
        m_mostStored = std::max(m_mostStored, m_stored);
    }
    put(Op::Load, leaf);
}

void Compiler::put(Op op, Program::Operand operand, std::size_t column)
{
    m_code.push_back({op, operand.space, operand.index});
    m_columns.push_back(static_cast<std::uint32_t>(column));
}

void Compiler::close()
{
    if (m_lex.peek().kind != Kind::Close)
        fail(m_lex.column(), "')' expected");
    m_lex.take();
}

std::shared_ptr<const Program> Compiler::compile()
{
    if (m_lex.peek().kind == Kind::End)
        throw ParseError{1, "empty formula"};
    const Ref result = expression(0, 1);
    // Whatever else follows an operand ends the expression; at the top only the end may.
    if (m_lex.peek().kind != Kind::End)
        fail(m_lex.column(), "unmatched ')'");

    std::shared_ptr<Program> p(new Program);
    p->m_text = m_text;
    if (!result.computed)
        load(result.leaf);
    put(Op::End, {});
    p->m_code = std::move(m_code);
    p->m_frameSize = kFirstTemporary + m_mostStored;
    if (p->m_frameSize > kMaxFrame) // the depth limit keeps to it; the stack relies on it
        fail(1, "nested too deeply");
    p->m_parameters = std::move(m_parameters);
    p->m_constants = std::move(m_constants);
    p->m_columns = std::move(m_columns);
    p->m_usesX = m_usesX;
    p->m_usesSlope = m_usesSlope;
    return p;
}

std::variant<std::shared_ptr<const Program>, ParseError> compile(std::string_view text)
{
    try {
        return Compiler(text).compile();
    } catch (const ParseError &e) {
        return e;
    }
}

} // namespace formula
