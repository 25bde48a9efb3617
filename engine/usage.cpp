#include "engine/usage.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

#include "engine/definitions.h"
#include "engine/lexer.h"
#include "platform/text.h"

namespace engine {

// ---- the uses in a statement ---------------------------------------------------------------------

namespace {

// A token of a statement with the physical line it stands on.
struct Tok : Token {
    LineIndex line;
};

bool IsName(const Tok& t) { return t.kind == TokenKind::Word || t.kind == TokenKind::Bracketed; }
bool IsOp(const Tok& t, std::string_view op) { return t.kind == TokenKind::Operator && t.text == op; }

// A name token as it is meant: a word without its type character, a bracketed name without its
// brackets.
std::string_view NameOf(TokenKind kind, std::string_view text) {
    if (kind == TokenKind::Bracketed) return text.substr(1, text.size() - 2);
    return WordName(text);
}

// Reads statements one by one; knows whether they stand inside a Type or Enum block.
class StatementReader {
public:
    StatementReader(void* context, UseReader::Sink sink) : context_(context), sink_(sink) {}

    void Read(const std::vector<Tok>& s) {
        const std::size_t n = s.size();
        if (n == 0) return;
        declared_.assign(n, 0);
        if (block_) {
            if (IsWord(s[0], "End") && n > 1 && (IsWord(s[1], "Type") || IsWord(s[1], "Enum"))) block_ = false;
            else if (IsName(s[0])) declared_[0] = kDeclared;  // a member
        } else {
            Declarations(s);
        }
        for (std::size_t j = 0; j < n; ++j) {
            if (declared_[j] || !IsName(s[j])) continue;
            const bool member = j > 0 && (IsOp(s[j - 1], ".") || IsOp(s[j - 1], "!"));
            sink_(context_, NameUse{NameOf(s[j].kind, s[j].text), member, false, s[j].line});
        }
        for (std::size_t j = 0; j < n; ++j)
            if (declared_[j] == kParameter)
                sink_(context_, NameUse{NameOf(s[j].kind, s[j].text), false, true, s[j].line});
    }

private:
    // Marks the names that the statement declares.
    void Declarations(const std::vector<Tok>& s) {
        const std::size_t n = s.size();
        std::size_t k = 0;
        bool scoped = false;
        while (k < n && (IsWord(s[k], "Public") || IsWord(s[k], "Private") || IsWord(s[k], "Global") ||
                         IsWord(s[k], "Friend") || IsWord(s[k], "Static") || IsWord(s[k], "Dim"))) {
            ++k;
            scoped = true;
        }
        if (k >= n) return;
        if (IsWord(s[k], "Sub") || IsWord(s[k], "Function")) {
            Header(s, k + 1, kParameter);
        } else if (IsWord(s[k], "Event")) {
            Header(s, k + 1, kDeclared);
        } else if (IsWord(s[k], "Property") && k + 1 < n &&
                   (IsWord(s[k + 1], "Get") || IsWord(s[k + 1], "Let") || IsWord(s[k + 1], "Set"))) {
            Header(s, k + 2, kParameter);
        } else if (IsWord(s[k], "Declare") && k + 1 < n && (IsWord(s[k + 1], "Sub") || IsWord(s[k + 1], "Function"))) {
            Header(s, k + 2, kDeclared);
        } else if ((IsWord(s[k], "Type") || IsWord(s[k], "Enum")) && k + 1 < n && IsName(s[k + 1]) &&
                   (k + 2 == n || !IsWord(s[k + 2], "As"))) {
            declared_[k + 1] = kDeclared;
            block_ = true;
        } else if (IsWord(s[k], "Const")) {
            Items(s, k + 1);
        } else if (scoped) {
            Items(s, IsWord(s[k], "WithEvents") ? k + 1 : k);
        }
    }

    // A procedure, event or API declaration: its name at `k`, then its parameters, marked `parameter`.
    void Header(const std::vector<Tok>& s, std::size_t k, char parameter) {
        const std::size_t n = s.size();
        if (k >= n || !IsName(s[k])) return;
        declared_[k] = kDeclared;
        std::size_t j = k + 1;
        while (j < n && !IsOp(s[j], "(")) ++j;
        int depth = 0;
        bool expectName = true;
        for (; j < n; ++j) {
            if (IsOp(s[j], "(")) {
                if (++depth == 1) expectName = true;
            } else if (IsOp(s[j], ")")) {
                if (--depth == 0) return;
            } else if (depth == 1 && IsOp(s[j], ",")) {
                expectName = true;
            } else if (depth == 1 && expectName) {
                if (IsWord(s[j], "Optional") || IsWord(s[j], "ByVal") || IsWord(s[j], "ByRef") ||
                    IsWord(s[j], "ParamArray"))
                    continue;
                if (IsName(s[j])) declared_[j] = parameter;
                expectName = false;
            }
        }
    }

    // The items of a variable or constant declaration from `k`: the first name of each.
    void Items(const std::vector<Tok>& s, std::size_t k) {
        int depth = 0;
        bool expectName = true;
        for (std::size_t j = k; j < s.size(); ++j) {
            if (IsOp(s[j], "(")) {
                ++depth;
                expectName = false;
            } else if (IsOp(s[j], ")")) {
                if (depth > 0) --depth;
            } else if (depth == 0 && IsOp(s[j], ",")) {
                expectName = true;
            } else if (depth == 0 && expectName) {
                if (IsWord(s[j], "WithEvents")) continue;
                if (IsName(s[j])) declared_[j] = kDeclared;
                expectName = false;
            }
        }
    }

    // What a token of the statement declares.
    static constexpr char kDeclared = 1;   // a name, no use
    static constexpr char kParameter = 2;  // a parameter of a procedure with a body

    void* context_;
    UseReader::Sink sink_;
    bool block_ = false;          // inside a Type or Enum block: each statement declares a member
    std::vector<char> declared_;  // per token: 0 (a use or no name), kDeclared or kParameter
};

}  // namespace

void UseReader::ReadLines(platform::LineView lines, LineIndex first) {
    StatementReader reader(context_, sink_);
    std::vector<Tok> statement;
    const auto finish = [&] {
        reader.Read(statement);
        statement.clear();
    };
    bool lineStart = true;       // the next physical line starts a logical line
    bool commentGoesOn = false;  // a comment ended the line above with " _": this line is comment too
    const auto n = static_cast<LineIndex>(lines.size());
    for (LineIndex k = std::max<LineIndex>(first, 0); k < n; ++k) {
        const std::string_view line = lines[static_cast<std::size_t>(k)];
        const bool continued = IsContinuedLine(line);
        if (commentGoesOn) {
            commentGoesOn = continued;
            lineStart = !continued;
            continue;
        }
        Lexer lexer(line);
        bool firstToken = lineStart;
        for (Token t; lexer.Next(t);) {
            if (t.kind == TokenKind::Comment || t.kind == TokenKind::Rem) {
                commentGoesOn = continued;
                break;
            }
            if (t.kind == TokenKind::Continuation) continue;
            if (t.kind == TokenKind::Separator) {
                finish();
                firstToken = false;
                continue;
            }
            if (firstToken) {
                firstToken = false;
                // A line number, or a label ("Retry:"), at the start of a line declares nothing.
                if (t.kind == TokenKind::Number) continue;
                Lexer ahead = lexer;
                Token next;
                if (t.kind == TokenKind::Word && ahead.Next(next) && next.kind == TokenKind::Separator) continue;
            }
            statement.push_back(Tok{t, k});
        }
        lineStart = !continued;
        if (lineStart) finish();
    }
    finish();
}

std::vector<std::string> UseReader::NamesUsedIn(std::string_view code) {
    std::vector<std::string> names;
    Read(std::vector<std::string>{std::string(code)}, 0, [&](const NameUse& u) {
        if (u.parameter) return;
        std::string& name = names.emplace_back(u.member ? "." : "");
        name += u.name;
    });
    return names;
}

// ---- names of definitions ------------------------------------------------------------------------

std::string DeclaredApiName(std::string_view statement) {
    // The name follows "Sub" or "Function", before the first "(", string or comment.
    Lexer lexer(statement);
    Token previous{TokenKind::Operator, {}};
    for (Token t; lexer.Next(t);) {
        if (t.kind == TokenKind::String || t.kind == TokenKind::Comment || t.text == "(") break;
        if (IsWord(previous, "Sub") || IsWord(previous, "Function")) return std::string(t.text);
        previous = t;
    }
    return {};
}

std::string DefinitionSearchName(const clsDefinitions& d) {
    std::string api;
    std::string_view n = d.Variable;
    if (d.DefType & mask::kDeclare) {
        api = DeclaredApiName(d.Line);
        n = api;
    } else if ((d.DefType & (mask::kEndType | mask::kEndEnum)) && d.Defined != "Type" && d.Defined != "Enum") {
        // A member of a Type or Enum block is used under its own name.
        const std::size_t dot = n.find('.');
        if (dot != std::string_view::npos) n = n.substr(dot + 1);
    }
    // An array is used with any index: the name before its bounds.
    const std::size_t paren = n.find('(');
    if (paren != std::string_view::npos) n = n.substr(0, paren);
    n = platform::Trim(n);
    // The name must be one name token.
    Lexer lexer(n);
    Token t, more;
    if (!lexer.Next(t) || lexer.Next(more) || (t.kind != TokenKind::Word && t.kind != TokenKind::Bracketed)) return {};
    return std::string(NameOf(t.kind, t.text));
}

// ---- the check -------------------------------------------------------------------------------------

namespace {

enum class Want : std::uint8_t { Plain, TypeMember, EnumMember };

Want WantOf(const clsDefinitions& d) {
    if ((d.DefType & mask::kEndType) && d.Defined != "Type") return Want::TypeMember;
    if ((d.DefType & mask::kEndEnum) && d.Defined != "Enum") return Want::EnumMember;
    return Want::Plain;
}

using platform::FoldedHash;

// Scopes of wanted names: the load (public names), a file (its private module-level names), a
// procedure (its locals).
using Scope = std::uint32_t;
constexpr Scope kLoadScope = 0;

// The wanted names, keyed by scope and name without regard to case, in one open-addressing table;
// each key leads to the definitions of that name in that scope.
class NameTable {
public:
    struct Slot {
        std::uint64_t hash = 0;
        std::string_view name;
        Scope scope = 0;
        std::int32_t first = -1;  // the key's first entry; -1: the slot is free
        bool bareDone = false;    // every entry that a bare use marks is marked
        bool allDone = false;     // every entry is marked
        bool hasTypeMember = false;
    };

    // `d` null: a parameter, which marks nothing but takes the bare uses of its name in its procedure.
    void Add(Scope scope, std::string_view name, clsDefinitions* d, Want want) {
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        const std::uint64_t h = FoldedHash(name);
        Slot& s = Probe(scope, name, h);
        if (s.first < 0) {
            s.hash = h;
            s.name = name;
            s.scope = scope;
            ++used_;
        }
        entries_.push_back(Entry{d, want, s.first});
        s.first = static_cast<std::int32_t>(entries_.size() - 1);
        if (want == Want::TypeMember) s.hasTypeMember = true;
    }

    Slot* Find(Scope scope, std::string_view name, std::uint64_t h) {
        if (slots_.empty()) return nullptr;
        Slot& s = Probe(scope, name, h);
        return s.first < 0 ? nullptr : &s;
    }

    // A use of the slot's name: a bare use marks every entry but the members of Types, a member use
    // ("x.Name") every entry.
    void Mark(Slot& s, bool member) {
        if (s.allDone || (!member && s.bareDone)) return;
        for (std::int32_t e = s.first; e >= 0; e = entries_[static_cast<std::size_t>(e)].next) {
            const Entry& entry = entries_[static_cast<std::size_t>(e)];
            if (!entry.d || (entry.want == Want::TypeMember && !member)) continue;
            entry.d->Used = true;
        }
        s.bareDone = true;
        if (member || !s.hasTypeMember) s.allDone = true;
    }

    void Reserve(std::size_t names) {
        std::size_t size = 16;
        while (size < names * 2) size *= 2;
        if (size > slots_.size()) Rehash(size);
    }

private:
    struct Entry {
        clsDefinitions* d;
        Want want;
        std::int32_t next;
    };

    Slot& Probe(Scope scope, std::string_view name, std::uint64_t h) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i =
            static_cast<std::size_t>((h ^ (scope * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull >> 17) & mask;
        for (;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.first < 0) return s;
            if (s.hash == h && s.scope == scope && platform::IEquals(s.name, name)) return s;
        }
    }
    void Grow() { Rehash(slots_.empty() ? 1024 : slots_.size() * 2); }
    void Rehash(std::size_t size) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(size, Slot{});
        for (const Slot& s : old)
            if (s.first >= 0) Probe(s.scope, s.name, s.hash) = s;
    }

    std::vector<Slot> slots_;
    std::vector<Entry> entries_;
    std::size_t used_ = 0;
};

// A procedure of a file with the scope of its locals.
struct ProcedureSpan {
    LineIndex start, end;  // header's first line to End line
    Scope scope;
    const clsProcedures* p;
};

// The procedures of a file in file order, with scopes numbered from `next` on.
std::vector<ProcedureSpan> SpansOf(const ProcedureList* procedures, Scope& next) {
    std::vector<ProcedureSpan> spans;
    if (!procedures) return spans;
    for (const clsProcedures& p : *procedures) spans.push_back(ProcedureSpan{p.pStart, p.pFuncLineEnd, next++, &p});
    std::sort(spans.begin(), spans.end(),
              [](const ProcedureSpan& a, const ProcedureSpan& b) { return a.start < b.start; });
    return spans;
}

// The scope of a local: the procedure of its name whose lines hold its declaration.
const ProcedureSpan* OwnerOf(const clsDefinitions& d, const std::vector<ProcedureSpan>& spans) {
    const ProcedureSpan* owner = nullptr;
    for (const ProcedureSpan& span : spans)
        if (span.p->pName == d.ProcName && d.LineNo >= span.start && d.LineNo <= span.end) owner = &span;
    return owner;
}

// The procedure of `spans` whose lines hold `line`, with a cursor for lines that only grow.
const ProcedureSpan* ProcedureAt(const std::vector<ProcedureSpan>& spans, std::size_t& cursor, LineIndex line) {
    while (cursor < spans.size() && spans[cursor].end < line) ++cursor;
    return cursor < spans.size() && spans[cursor].start <= line ? &spans[cursor] : nullptr;
}

// The words that the files use outside the procedures that declare a local of that name, each
// once, folded, with whether a bare use and a use after a dot were seen: what the public names
// are looked up in.
class WordSet {
public:
    struct Seen {
        bool bare = false, member = false;
    };
    void Add(std::string_view name, std::uint64_t h, bool member) {
        if ((used_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 4096 : slots_.size() * 2);
        Slot& s = Probe(name, h);
        if (!s.taken) {
            s.taken = true;
            s.hash = h;
            s.name = Keep(name);
            ++used_;
        }
        (member ? s.seen.member : s.seen.bare) = true;
    }
    Seen Find(std::string_view name) const {
        if (slots_.empty()) return {};
        const Slot& s = const_cast<WordSet*>(this)->Probe(name, FoldedHash(name));
        return s.taken ? s.seen : Seen{};
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::string_view name;
        Seen seen;
        bool taken = false;
    };
    Slot& Probe(std::string_view name, std::uint64_t h) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = static_cast<std::size_t>(h * 0xBF58476D1CE4E5B9ull >> 20) & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (!s.taken || (s.hash == h && platform::IEquals(s.name, name))) return s;
        }
    }
    void Rehash(std::size_t size) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(size, Slot{});
        for (const Slot& s : old)
            if (s.taken) Probe(s.name, s.hash) = s;
    }
    // The names are kept in blocks of their own: the files they come from are let go.
    std::string_view Keep(std::string_view name) {
        if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < name.size()) {
            blocks_.emplace_back();
            blocks_.back().reserve(std::max<std::size_t>(64 * 1024, name.size()));
        }
        std::string& b = blocks_.back();
        const std::size_t at = b.size();
        b.append(name);
        return std::string_view(b).substr(at, name.size());
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::deque<std::string> blocks_;
};

}  // namespace

struct UsageCheck::State {
    UsageSearch search;
    NameTable table;                // the wanted names of the file being read
    std::deque<std::string> names;  // their text
    WordSet words;                  // the words used by the files read so far
    // For the reference search: every file with its source, checked at the end.
    std::vector<std::pair<const clsFileInfo*, std::shared_ptr<const SourceText>>> kept;
};

UsageCheck::UsageCheck(UsageSearch search) : state_(std::make_unique<State>()) { state_->search = search; }
UsageCheck::~UsageCheck() = default;

void UsageCheck::File(const clsFileInfo& file, const ProcedureList* procedures, DefinitionList& definitions,
                      std::shared_ptr<const SourceText> source) {
    State& st = *state_;
    if (st.search == UsageSearch::Literal) {
        st.kept.emplace_back(&file, std::move(source));
        return;
    }
    if (!source) return;
    // The file's locals, each in its procedure's scope, and its private names in the file's.
    constexpr Scope kFileScope = 1;
    Scope next = kFileScope + 1;
    const std::vector<ProcedureSpan> spans = SpansOf(procedures, next);
    NameTable& table = st.table;
    table = NameTable{};
    st.names.clear();
    for (clsDefinitions& d : definitions) {
        if (d.Used || d.ProcName.empty()) continue;
        const bool moduleLevel = d.ProcName == kModuleLevel;
        if (moduleLevel && (d.DefType & mask::kPublic)) continue;  // in the words, at the end
        const std::string name = DefinitionSearchName(d);
        if (name.empty()) continue;
        const ProcedureSpan* owner = moduleLevel ? nullptr : OwnerOf(d, spans);
        if (!moduleLevel && !owner) continue;
        table.Add(moduleLevel ? kFileScope : owner->scope, st.names.emplace_back(name), &d, WantOf(d));
    }
    std::size_t cursor = 0;
    UseReader::Read(source->lines(), source->codeStart(), [&](const NameUse& use) {
        const std::uint64_t h = FoldedHash(use.name);
        if (use.parameter) {
            if (const ProcedureSpan* span = ProcedureAt(spans, cursor, use.line))
                table.Add(span->scope, use.name, nullptr, Want::Plain);
            return;
        }
        bool shadowed = false;
        if (const ProcedureSpan* span = ProcedureAt(spans, cursor, use.line))
            if (NameTable::Slot* local = table.Find(span->scope, use.name, h)) {
                table.Mark(*local, true);
                shadowed = !use.member;
            }
        if (shadowed) return;
        if (NameTable::Slot* s = table.Find(kFileScope, use.name, h)) table.Mark(*s, use.member);
        st.words.Add(use.name, h, use.member);
    });
}

void UsageCheck::Finish(ProjectModel& model, const std::function<bool()>& cancelled) {
    State& st = *state_;
    if (st.search == UsageSearch::Literal) {
        std::vector<UsageFile> files;
        for (auto& [file, source] : st.kept) {
            const ProcedureList* procs = nullptr;
            for (FileKind kind : kAllKinds)
                if (!procs) procs = model.Procedures(kind).Find(file->fKey);
            files.push_back(UsageFile{file, procs, source});
        }
        CheckDefinitionUsage(model, files, cancelled);
        return;
    }
    // The public names: used when a file used their word (a member of a Type only after a dot).
    for (FileKind kind : kAllKinds)
        for (clsDefinitions& d : model.Definitions(kind)) {
            if (d.Used || d.ProcName != kModuleLevel || !(d.DefType & mask::kPublic)) continue;
            const std::string name = DefinitionSearchName(d);
            if (name.empty()) continue;
            const WordSet::Seen seen = st.words.Find(name);
            d.Used = WantOf(d) == Want::TypeMember ? seen.member : (seen.bare || seen.member);
        }
}

// ---- the reference: each definition on its own ----------------------------------------------------

namespace {

// The wanted definitions: each with its name and scope.
struct Wanted {
    clsDefinitions* d;
    std::string name;
    Want want;
    Scope scope;
    std::size_t file;  // index into the files
};

struct Plan {
    std::vector<std::vector<ProcedureSpan>> spans;  // per file
    std::vector<Wanted> wanted;
    // The locals of each procedure, by scope: they take the bare uses of their names there.
    std::unordered_map<Scope, std::vector<std::string>> locals;
};

// The procedure of `spans` whose lines hold `line`.
const ProcedureSpan* SpanOf(const std::vector<ProcedureSpan>& spans, LineIndex line) {
    const ProcedureSpan* span = nullptr;
    for (const ProcedureSpan& s : spans)
        if (line >= s.start && line <= s.end) span = &s;
    return span;
}

Plan MakePlan(ProjectModel& model, const std::vector<UsageFile>& files) {
    Plan plan;
    std::unordered_map<const clsFileInfo*, std::size_t> fileIndex;
    Scope next = static_cast<Scope>(files.size()) + 1;
    for (std::size_t f = 0; f < files.size(); ++f) {
        fileIndex.emplace(files[f].file, f);
        plan.spans.push_back(SpansOf(files[f].procedures, next));
    }
    for (FileKind kind : kAllKinds)
        for (clsDefinitions& d : model.Definitions(kind)) {
            if (d.Used || d.ProcName.empty()) continue;
            const auto it = fileIndex.find(d.file);
            if (it == fileIndex.end()) continue;
            std::string name = DefinitionSearchName(d);
            if (name.empty()) continue;
            Scope scope;
            if (d.ProcName == kModuleLevel) {
                scope = (d.DefType & mask::kPublic) ? kLoadScope : static_cast<Scope>(it->second + 1);
            } else {
                const ProcedureSpan* owner = OwnerOf(d, plan.spans[it->second]);
                if (!owner) continue;
                scope = owner->scope;
            }
            plan.wanted.push_back(Wanted{&d, std::move(name), WantOf(d), scope, it->second});
        }
    for (const Wanted& w : plan.wanted)
        if (w.scope > files.size()) plan.locals[w.scope].push_back(w.name);
    return plan;
}

void LiteralCheck(Plan& plan, const std::vector<UsageFile>& files, const std::function<bool()>& cancelled) {
    const auto hasLocal = [&](Scope scope, std::string_view name) {
        const auto it = plan.locals.find(scope);
        if (it == plan.locals.end()) return false;
        for (const std::string& l : it->second)
            if (platform::IEquals(l, name)) return true;
        return false;
    };
    for (const Wanted& w : plan.wanted) {
        if (cancelled && cancelled()) return;
        for (std::size_t f = 0; f < files.size() && !w.d->Used; ++f) {
            if (!files[f].source) continue;
            const bool local = w.scope > files.size();
            if (w.scope != kLoadScope && f != w.file) continue;
            const std::vector<ProcedureSpan>& spans = plan.spans[f];
            std::vector<Scope> parameterIn;  // the procedures read so far with a parameter of the name
            UseReader::Read(files[f].source->lines(), files[f].source->codeStart(), [&](const NameUse& use) {
                if (w.d->Used || !platform::IEquals(use.name, w.name)) return;
                const ProcedureSpan* span = SpanOf(spans, use.line);
                if (use.parameter) {
                    if (span) parameterIn.push_back(span->scope);
                    return;
                }
                if (local) {
                    if (span && span->scope == w.scope) w.d->Used = true;
                    return;
                }
                if (!use.member && span &&
                    (hasLocal(span->scope, w.name) ||
                     std::find(parameterIn.begin(), parameterIn.end(), span->scope) != parameterIn.end()))
                    return;
                if (w.want == Want::TypeMember && !use.member) return;
                w.d->Used = true;
            });
        }
    }
}

}  // namespace

void CheckDefinitionUsage(ProjectModel& model, const std::vector<UsageFile>& files,
                          const std::function<bool()>& cancelled) {
    Plan plan = MakePlan(model, files);
    LiteralCheck(plan, files, cancelled);
}

}  // namespace engine
