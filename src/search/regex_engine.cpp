#include "search/regex_engine.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace vel {
namespace {

using Op = RegexProgram::Op;
using Instruction = RegexProgram::Instruction;
using CharClass = RegexProgram::CharClass;

constexpr int kUnbounded = -1;
constexpr std::size_t kMaxInstructions = 200000;  // counted repetitions written out
constexpr int kMaxCount = 1000;                   // the largest m or n of "{m,n}"

char32_t FoldAscii(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 0x20 : c; }

bool IsWordCharacter(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'_';
}

bool IsLineEnd(char32_t c) { return c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029; }

void AddDigits(CharClass& cls) { cls.ranges.push_back({U'0', U'9'}); }
void AddWord(CharClass& cls) {
  cls.ranges.insert(cls.ranges.end(), {{U'a', U'z'}, {U'A', U'Z'}, {U'0', U'9'}, {U'_', U'_'}});
}
void AddSpace(CharClass& cls) {
  cls.ranges.insert(cls.ranges.end(),
                    {{U'\t', U'\r'}, {U' ', U' '}, {0xA0, 0xA0}, {0x1680, 0x1680}, {0x2000, 0x200A},
                     {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}, {0xFEFF, 0xFEFF}});
}

struct Node {
  enum Kind { Empty, Char, Any, Class, Begin, End, WordEdge, NotWordEdge, Concat, Alternation, Repeat } kind;
  char32_t c = 0;
  int cls = 0;
  int min = 0, max = 0;
  bool greedy = true;
  std::vector<std::unique_ptr<Node>> parts;
  explicit Node(Kind k) : kind(k) {}
};
using NodePtr = std::unique_ptr<Node>;

class Parser {
 public:
  Parser(std::u32string_view pattern, std::vector<CharClass>& classes) : p_(pattern), classes_(classes) {}

  NodePtr Parse() {
    NodePtr node = Alternation();
    if (!ok_ || at_ != p_.size()) return nullptr;  // a ")" without its "(" ends the parse early
    return node;
  }

 private:
  bool More() const { return at_ < p_.size(); }
  char32_t Peek() const { return p_[at_]; }
  NodePtr Fail() {
    ok_ = false;
    return nullptr;
  }

  NodePtr Alternation() {
    NodePtr first = Sequence();
    if (!ok_ || !More() || Peek() != U'|') return first;
    auto node = std::make_unique<Node>(Node::Alternation);
    node->parts.push_back(std::move(first));
    while (ok_ && More() && Peek() == U'|') {
      ++at_;
      node->parts.push_back(Sequence());
    }
    return ok_ ? std::move(node) : nullptr;
  }

  NodePtr Sequence() {
    auto node = std::make_unique<Node>(Node::Concat);
    while (ok_ && More() && Peek() != U'|' && Peek() != U')') {
      NodePtr atom = Atom();
      if (!ok_) return nullptr;
      node->parts.push_back(Quantified(std::move(atom)));
    }
    return ok_ ? std::move(node) : nullptr;
  }

  // Reads "{m}", "{m,}" or "{m,n}" at `at_`; false when it is none.
  bool Count(int& min, int& max) {
    std::size_t i = at_ + 1;
    auto number = [&](int& out) {
      std::size_t from = i;
      long value = 0;
      while (i < p_.size() && p_[i] >= U'0' && p_[i] <= U'9') {
        value = value * 10 + static_cast<long>(p_[i] - U'0');
        if (value > kMaxCount) value = kMaxCount + 1;
        ++i;
      }
      out = static_cast<int>(value);
      return i > from;
    };
    if (!number(min)) return false;
    max = min;
    if (i < p_.size() && p_[i] == U',') {
      ++i;
      if (!number(max)) max = kUnbounded;
    }
    if (i >= p_.size() || p_[i] != U'}') return false;
    at_ = i + 1;
    return true;
  }

  NodePtr Quantified(NodePtr atom) {
    if (!More()) return atom;
    int min = 0, max = 0;
    char32_t c = Peek();
    if (c == U'*') min = 0, max = kUnbounded, ++at_;
    else if (c == U'+') min = 1, max = kUnbounded, ++at_;
    else if (c == U'?') min = 0, max = 1, ++at_;
    else if (c == U'{') {
      if (!Count(min, max)) return atom;  // a brace that starts no count is a character of its own
      if (min > kMaxCount || max > kMaxCount || (max != kUnbounded && max < min)) return Fail();
    } else {
      return atom;
    }
    // An assertion cannot be repeated.
    if (atom->kind == Node::Begin || atom->kind == Node::End || atom->kind == Node::WordEdge ||
        atom->kind == Node::NotWordEdge)
      return Fail();
    auto node = std::make_unique<Node>(Node::Repeat);
    node->min = min;
    node->max = max;
    if (More() && Peek() == U'?') {
      node->greedy = false;
      ++at_;
    }
    if (More() && (Peek() == U'*' || Peek() == U'+' || Peek() == U'?' || Peek() == U'{')) return Fail();
    node->parts.push_back(std::move(atom));
    return node;
  }

  NodePtr Single(Node::Kind kind, char32_t c = 0) {
    auto node = std::make_unique<Node>(kind);
    node->c = c;
    return node;
  }

  NodePtr ClassNode(CharClass cls) {
    auto node = std::make_unique<Node>(Node::Class);
    node->cls = static_cast<int>(classes_.size());
    classes_.push_back(std::move(cls));
    return node;
  }

  // Reads the hexadecimal digits of \x or \u; false when there are too few.
  bool Hex(int digits, char32_t& out) {
    if (at_ + static_cast<std::size_t>(digits) > p_.size()) return false;
    out = 0;
    for (int k = 0; k < digits; ++k) {
      char32_t h = p_[at_ + static_cast<std::size_t>(k)];
      int v = h >= U'0' && h <= U'9' ? static_cast<int>(h - U'0')
              : h >= U'a' && h <= U'f' ? static_cast<int>(h - U'a' + 10)
              : h >= U'A' && h <= U'F' ? static_cast<int>(h - U'A' + 10)
                                       : -1;
      if (v < 0) return false;
      out = out * 16 + static_cast<char32_t>(v);
    }
    at_ += static_cast<std::size_t>(digits);
    return true;
  }

  // An escape after "\" standing for one character; false when it stands for
  // none (a class escape, an assertion, a reference or an unknown letter).
  bool EscapedCharacter(char32_t e, char32_t& out) {
    switch (e) {
      case U'n': out = U'\n'; return true;
      case U'r': out = U'\r'; return true;
      case U't': out = U'\t'; return true;
      case U'f': out = U'\f'; return true;
      case U'v': out = U'\v'; return true;
      case U'0': out = 0; return true;
      case U'x': return Hex(2, out);
      case U'u': return Hex(4, out);
      default: break;
    }
    if ((e >= U'a' && e <= U'z') || (e >= U'A' && e <= U'Z') || (e >= U'1' && e <= U'9')) return false;
    out = e;  // an escaped special or any other sign stands for itself
    return true;
  }

  NodePtr Escape() {
    if (!More()) return Fail();
    char32_t e = p_[at_++];
    CharClass cls;
    switch (e) {
      case U'd': AddDigits(cls); return ClassNode(cls);
      case U'w': AddWord(cls); return ClassNode(cls);
      case U's': AddSpace(cls); return ClassNode(cls);
      case U'D': AddDigits(cls); cls.negated = true; return ClassNode(cls);
      case U'W': AddWord(cls); cls.negated = true; return ClassNode(cls);
      case U'S': AddSpace(cls); cls.negated = true; return ClassNode(cls);
      case U'b': return Single(Node::WordEdge);
      case U'B': return Single(Node::NotWordEdge);
      default: break;
    }
    char32_t c = 0;
    if (!EscapedCharacter(e, c)) return Fail();
    return Single(Node::Char, c);
  }

  // One member of a class: a character, or (with `set`) a class escape.
  bool ClassMember(char32_t& c, CharClass& cls, bool& set) {
    set = false;
    c = p_[at_++];
    if (c != U'\\') return true;
    if (!More()) return false;
    char32_t e = p_[at_++];
    switch (e) {
      case U'd': AddDigits(cls); set = true; return true;
      case U'w': AddWord(cls); set = true; return true;
      case U's': AddSpace(cls); set = true; return true;
      case U'b': c = U'\b'; return true;
      default: break;
    }
    return EscapedCharacter(e, c);  // \D \W \S inside a class are not offered
  }

  NodePtr Bracket() {
    CharClass cls;
    if (More() && Peek() == U'^') {
      cls.negated = true;
      ++at_;
    }
    bool first = true;
    while (More() && (Peek() != U']' || first)) {
      first = false;
      char32_t low = 0;
      bool set = false;
      if (!ClassMember(low, cls, set)) return Fail();
      if (set) continue;
      if (at_ + 1 < p_.size() && Peek() == U'-' && p_[at_ + 1] != U']') {
        ++at_;
        char32_t high = 0;
        bool highSet = false;
        if (!ClassMember(high, cls, highSet) || highSet || high < low) return Fail();
        cls.ranges.push_back({low, high});
      } else {
        cls.ranges.push_back({low, low});
      }
    }
    if (!More()) return Fail();  // no closing "]"
    ++at_;
    return ClassNode(std::move(cls));
  }

  NodePtr Atom() {
    char32_t c = p_[at_++];
    switch (c) {
      case U'(': {
        if (at_ + 1 < p_.size() && Peek() == U'?') {
          if (p_[at_ + 1] != U':') return Fail();  // look-arounds are not offered
          at_ += 2;
        }
        NodePtr inner = Alternation();
        if (!ok_ || !More() || Peek() != U')') return Fail();
        ++at_;
        return inner;
      }
      case U'[': return Bracket();
      case U'.': return Single(Node::Any);
      case U'^': return Single(Node::Begin);
      case U'$': return Single(Node::End);
      case U'\\': return Escape();
      case U'*':
      case U'+':
      case U'?': return Fail();  // nothing to repeat
      case U'{': {
        int min = 0, max = 0;
        --at_;
        if (Count(min, max)) return Fail();
        ++at_;
        return Single(Node::Char, c);  // a brace that starts no count is itself
      }
      default: return Single(Node::Char, c);
    }
  }

  std::u32string_view p_;
  std::vector<CharClass>& classes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

class Emitter {
 public:
  Emitter(std::vector<Instruction>& program, bool ignoreCase) : out_(program), ignoreCase_(ignoreCase) {}

  bool Emit(const Node& node) {
    if (out_.size() > kMaxInstructions) return false;
    switch (node.kind) {
      case Node::Empty: return true;
      case Node::Char: Add({Op::Char, ignoreCase_ ? FoldAscii(node.c) : node.c}); return true;
      case Node::Any: Add({Op::Any}); return true;
      case Node::Class: Add({Op::Class, 0, node.cls}); return true;
      case Node::Begin: Add({Op::Begin}); return true;
      case Node::End: Add({Op::End}); return true;
      case Node::WordEdge: Add({Op::WordEdge}); return true;
      case Node::NotWordEdge: Add({Op::NotWordEdge}); return true;
      case Node::Concat:
        for (const NodePtr& part : node.parts)
          if (!Emit(*part)) return false;
        return true;
      case Node::Alternation: return Alternatives(node, 0);
      case Node::Repeat: return Repeat(node);
    }
    return false;
  }

 private:
  int Add(Instruction in) {
    out_.push_back(in);
    return static_cast<int>(out_.size()) - 1;
  }
  int Here() const { return static_cast<int>(out_.size()); }
  // A choice whose first branch is taken first: the greedy order unless lazy.
  void SetChoice(int split, int body, int skip, bool greedy) {
    out_[static_cast<std::size_t>(split)].x = greedy ? body : skip;
    out_[static_cast<std::size_t>(split)].y = greedy ? skip : body;
  }

  // a|b|c as split(a, split(b, c)), each branch jumping to the end.
  bool Alternatives(const Node& node, std::size_t from) {
    if (from + 1 == node.parts.size()) return Emit(*node.parts[from]);
    int split = Add({Op::Split});
    int first = Here();
    if (!Emit(*node.parts[from])) return false;
    int jump = Add({Op::Jump});
    int second = Here();
    SetChoice(split, first, second, true);
    if (!Alternatives(node, from + 1)) return false;
    out_[static_cast<std::size_t>(jump)].x = Here();
    return true;
  }

  bool Repeat(const Node& node) {
    const Node& body = *node.parts[0];
    for (int i = 0; i < node.min; ++i)
      if (!Emit(body)) return false;
    if (node.max == kUnbounded) {
      int split = Add({Op::Split});
      int start = Here();
      if (!Emit(body)) return false;
      Add({Op::Jump, 0, split});
      SetChoice(split, start, Here(), node.greedy);
      return true;
    }
    // Each optional copy leaves to the end: e{1,3} is e(e(e)?)?.
    std::vector<int> splits;
    for (int i = node.min; i < node.max; ++i) {
      splits.push_back(Add({Op::Split}));
      int start = Here();
      if (!Emit(body)) return false;
      out_[static_cast<std::size_t>(splits.back())].x = start;
    }
    for (int split : splits) SetChoice(split, out_[static_cast<std::size_t>(split)].x, Here(), node.greedy);
    return true;
  }

  std::vector<Instruction>& out_;
  bool ignoreCase_;
};

}  // namespace

std::optional<RegexProgram> RegexProgram::Compile(std::u32string_view pattern, bool ignoreCase) {
  RegexProgram compiled;
  compiled.ignoreCase_ = ignoreCase;
  Parser parser(pattern, compiled.classes_);
  NodePtr tree = parser.Parse();
  if (!tree) return std::nullopt;
  // Each class's ranges sorted and merged, so that a class of a thousand
  // members (as Migemo writes them) is looked up by halving, not member by member.
  for (CharClass& cls : compiled.classes_) {
    std::sort(cls.ranges.begin(), cls.ranges.end());
    std::vector<std::pair<char32_t, char32_t>> merged;
    for (const auto& range : cls.ranges)
      if (!merged.empty() && std::uint64_t{range.first} <= std::uint64_t{merged.back().second} + 1)
        merged.back().second = std::max(merged.back().second, range.second);
      else
        merged.push_back(range);
    cls.ranges = std::move(merged);
  }
  Emitter emitter(compiled.program_, ignoreCase);
  if (!emitter.Emit(*tree) || compiled.program_.size() > kMaxInstructions) return std::nullopt;
  compiled.program_.push_back({Op::Match});

  // The instructions reachable from the start without taking a character: if
  // all take one, a match can only start where one of them takes the text's.
  std::vector<int> stack{0};
  std::vector<bool> seen(compiled.program_.size(), false);
  bool anyStart = false;
  while (!stack.empty() && !anyStart) {
    int pc = stack.back();
    stack.pop_back();
    if (seen[static_cast<std::size_t>(pc)]) continue;
    seen[static_cast<std::size_t>(pc)] = true;
    const Instruction& in = compiled.program_[static_cast<std::size_t>(pc)];
    switch (in.op) {
      case Op::Split: stack.push_back(in.y); stack.push_back(in.x); break;
      case Op::Jump: stack.push_back(in.x); break;
      case Op::Char:
      case Op::Class: compiled.firsts_.push_back(pc); break;
      default: anyStart = true; break;  // ".", an assertion or an empty match
    }
  }
  if (anyStart) compiled.firsts_.clear();
  if (!compiled.firsts_.empty()) {
    std::vector<std::uint64_t>& bits = compiled.firstBits_;
    bits.assign(0x10000 / 64, 0);
    auto set = [&bits](char32_t low, char32_t high) {
      for (char32_t c = low; c <= high && c < 0x10000; ++c) bits[c / 64] |= std::uint64_t{1} << (c % 64);
    };
    auto setWithCase = [&](char32_t c) {
      set(c, c);
      if (compiled.ignoreCase_ && c >= U'a' && c <= U'z') set(c - 0x20, c - 0x20);
      if (compiled.ignoreCase_ && c >= U'A' && c <= U'Z') set(c + 0x20, c + 0x20);
    };
    for (int pc : compiled.firsts_) {
      const Instruction& in = compiled.program_[static_cast<std::size_t>(pc)];
      if (in.op == Op::Char) {
        setWithCase(in.c);
        continue;
      }
      const CharClass& cls = compiled.classes_[static_cast<std::size_t>(in.x)];
      if (cls.negated) {
        bits.assign(bits.size(), ~std::uint64_t{0});  // nearly anything: no use looking
        break;
      }
      for (const auto& [low, high] : cls.ranges) {
        set(low, high);
        if (compiled.ignoreCase_)
          for (char32_t c = std::max(low, U'A'); c <= std::min(high, U'z'); ++c) setWithCase(c);
      }
    }
  }
  compiled.IndexFirsts();
  return compiled;
}

void RegexProgram::IndexFirsts() {
  // Beyond this many characters listing them costs more than it saves.
  constexpr std::uint64_t kMostIndexed = 0x20000;
  std::uint64_t members = 0;
  for (int pc : firsts_) {
    const Instruction& in = program_[static_cast<std::size_t>(pc)];
    if (in.op == Op::Char) {
      ++members;
      continue;
    }
    const CharClass& cls = classes_[static_cast<std::size_t>(in.x)];
    if (cls.negated) return;
    for (const auto& [low, high] : cls.ranges) members += std::uint64_t{high} - low + 1;
  }
  if (firsts_.empty() || members > kMostIndexed) return;
  auto note = [this](char32_t c, int pc) {
    firstsByChar_[c].push_back(pc);
    // With letter case ignored the other case of an ASCII letter takes it too.
    if (ignoreCase_ && c >= U'a' && c <= U'z') firstsByChar_[c - 0x20].push_back(pc);
    if (ignoreCase_ && c >= U'A' && c <= U'Z') firstsByChar_[c + 0x20].push_back(pc);
  };
  for (int pc : firsts_) {
    const Instruction& in = program_[static_cast<std::size_t>(pc)];
    if (in.op == Op::Char) {
      note(in.c, pc);
      continue;
    }
    for (const auto& [low, high] : classes_[static_cast<std::size_t>(in.x)].ranges)
      for (std::uint64_t c = low; c <= high; ++c) note(static_cast<char32_t>(c), pc);
  }
}

bool RegexProgram::ClassHolds(const CharClass& cls, char32_t c) const {
  // The ranges are sorted and apart: the last one starting at or before v decides.
  auto within = [&cls](char32_t v) {
    auto after = std::upper_bound(cls.ranges.begin(), cls.ranges.end(), v,
                                  [](char32_t c, const std::pair<char32_t, char32_t>& r) { return c < r.first; });
    return after != cls.ranges.begin() && v <= std::prev(after)->second;
  };
  bool held = within(c);
  if (!held && ignoreCase_) {
    if (c >= U'A' && c <= U'Z') held = within(c + 0x20);
    else if (c >= U'a' && c <= U'z') held = within(c - 0x20);
  }
  return held != cls.negated;
}

bool RegexProgram::Takes(const Instruction& in, char32_t c) const {
  switch (in.op) {
    case Op::Char: return (ignoreCase_ ? FoldAscii(c) : c) == in.c;
    case Op::Any: return !IsLineEnd(c);
    case Op::Class: return ClassHolds(classes_[static_cast<std::size_t>(in.x)], c);
    default: return false;
  }
}

bool RegexProgram::MayStartWith(char32_t c) const {
  if (c < 0x10000 && !firstBits_.empty()) return (firstBits_[c / 64] >> (c % 64)) & 1;
  for (int pc : firsts_)
    if (Takes(program_[static_cast<std::size_t>(pc)], c)) return true;
  return false;
}

bool RegexProgram::Search(std::u32string_view text, std::size_t* start, std::size_t* end) const {
  if (program_.empty()) return false;
  struct Thread {
    int pc;
    std::size_t start;
  };
  // Kept from call to call on each thread: a statement tests its pattern on
  // every row, and the lists would otherwise be made (and `added` cleared)
  // once a row.
  struct Scratch {
    std::vector<Thread> current, next, stack;
    std::vector<std::size_t> added;
    std::size_t base = 0;  // marks at or below it are of earlier calls
  };
  thread_local Scratch scratch;
  const std::size_t n = text.size();
  std::vector<Thread>& current = scratch.current;
  std::vector<Thread>& next = scratch.next;
  std::vector<Thread>& stack = scratch.stack;
  current.clear();
  next.clear();
  stack.clear();
  // The position (plus one, plus this call's base) each instruction was last
  // added for: a thread reaches an instruction once per position, loops of
  // empty steps included.
  std::vector<std::size_t>& added = scratch.added;
  if (scratch.base > SIZE_MAX / 2) {
    added.assign(added.size(), 0);
    scratch.base = 0;
  }
  if (added.size() < program_.size()) added.resize(program_.size(), 0);
  const std::size_t base = scratch.base;
  scratch.base += n + 2;

  // Follows the steps that take no character from `from` at `pos`, in the
  // order a backtracking engine tries them.
  auto add = [&](std::vector<Thread>& list, Thread from, std::size_t pos) {
    stack.push_back(from);
    while (!stack.empty()) {
      Thread t = stack.back();
      stack.pop_back();
      std::size_t& mark = added[static_cast<std::size_t>(t.pc)];
      if (mark == base + pos + 1) continue;
      mark = base + pos + 1;
      const Instruction& in = program_[static_cast<std::size_t>(t.pc)];
      switch (in.op) {
        case Op::Jump: stack.push_back({in.x, t.start}); break;
        case Op::Split:
          stack.push_back({in.y, t.start});
          stack.push_back({in.x, t.start});
          break;
        case Op::Begin:
          if (pos == 0) stack.push_back({t.pc + 1, t.start});
          break;
        case Op::End:
          if (pos == n) stack.push_back({t.pc + 1, t.start});
          break;
        case Op::WordEdge:
        case Op::NotWordEdge: {
          bool before = pos > 0 && IsWordCharacter(text[pos - 1]);
          bool after = pos < n && IsWordCharacter(text[pos]);
          if ((before != after) == (in.op == Op::WordEdge)) stack.push_back({t.pc + 1, t.start});
          break;
        }
        default: list.push_back(t); break;
      }
    }
  };

  // Asked only whether there is a match: any match ends the search, and a
  // start follows only the first instructions that take its character.
  const bool onlyWhether = !start && !end;
  const bool indexedStarts = onlyWhether && !firstsByChar_.empty();
  bool matched = false;
  std::size_t matchStart = 0, matchEnd = 0;
  for (std::size_t pos = 0;; ++pos) {
    bool starting = false;
    if (!matched) {
      // With nothing under way, skip to where a match can start.
      if (current.empty() && !firsts_.empty()) {
        while (pos < n && !MayStartWith(text[pos])) ++pos;
        if (pos == n) break;
      }
      if (indexedStarts)
        starting = pos < n;
      else
        add(current, {0, pos}, pos);  // a new start ranks below every earlier one
    }
    // Nothing under way: done once matched, else a later start may match.
    if (current.empty() && !starting && (matched || pos >= n)) break;
    for (const Thread& t : current) {
      const Instruction& in = program_[static_cast<std::size_t>(t.pc)];
      if (in.op == Op::Match) {
        if (onlyWhether) return true;
        matched = true;
        matchStart = t.start;
        matchEnd = pos;
        break;  // the threads below this one rank lower: dropped
      }
      if (pos < n && Takes(in, text[pos])) add(next, {t.pc + 1, t.start}, pos + 1);
    }
    if (starting)
      if (auto found = firstsByChar_.find(text[pos]); found != firstsByChar_.end())
        for (int pc : found->second) add(next, {pc + 1, pos}, pos + 1);
    if (pos >= n) break;
    current.swap(next);
    next.clear();
  }
  if (matched) {
    if (start) *start = matchStart;
    if (end) *end = matchEnd;
  }
  return matched;
}

}  // namespace vel
