#include "bench/generator.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

// A small deterministic generator, so a seed gives the same project everywhere.
class Random {
public:
    explicit Random(std::uint32_t seed) : s_(seed * 2654435761u + 12345u) {}
    std::uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint32_t s_;
};

const char* const kTypes[] = {"Long", "String", "Integer", "Boolean", "Double", "Variant", "Date", "Currency"};
const char* const kWords[] = {"Count", "Name", "Total", "Index", "Value", "Buffer", "Result", "Flag", "Item", "Text"};

class FileWriter {
public:
    FileWriter(Random& rnd, const std::string& eol) : rnd_(rnd), eol_(eol) {}
    void Line(const std::string& s) {
        text_ += s;
        text_ += eol_;
        ++lines_;
    }
    long lines() const { return lines_; }
    const std::string& text() const { return text_; }
    Random& rnd() { return rnd_; }

private:
    Random& rnd_;
    std::string eol_;
    std::string text_;
    long lines_ = 0;
};

std::string Word(Random& r) { return kWords[r.Below(10)]; }
std::string Type(Random& r) { return kTypes[r.Below(8)]; }

struct FilePlan {
    std::string name;      // module / form / class name
    std::string fileName;  // as listed
    int kind;              // 0 module, 1 form, 2 class
};

// One procedure: header (sometimes continued), locals, statements, End line.
// A procedure of an earlier file: its name and the name of its module, form or class.
struct Callee {
    std::string name;
    std::string owner;
};

// A call of `name` in one of the shapes the cross reference looks for: with parentheses after a
// blank, bare, with arguments, at the end of a line, after a dot, with a trailing comment.
std::string CallLine(Random& r, const std::string& name, const std::string& owner, const std::string& local) {
    switch (r.Below(8)) {
        case 0: return "    " + local + " = " + name + "(" + local + ")";
        case 1: return "    " + name;
        case 2: return "    " + name + " " + local + ", 1";
        case 3: return "    If " + local + " = 0 Then " + name;
        case 4: return "    " + owner + "." + name + " " + local;
        case 5: return "    Set o = " + owner + "." + name + "(" + local + ")";
        case 6: return "    " + name + "(" + local + ") = 1 ' " + name + " as a target";
        default: return "    Call " + name + "(" + local + ") ' calls " + name;
    }
}

// A line that names a procedure without calling it: as the tail of a longer word, or commented out.
std::string NearMissLine(Random& r, const std::string& name, const std::string& local) {
    switch (r.Below(3)) {
        case 0: return "    my" + name + " = " + local;
        case 1: return "    ' " + name + " " + local;
        default: return "  '" + name + "(" + local + ")";
    }
}

void WriteProcedure(FileWriter& w, const FilePlan& file, int index, int bodyLines,
                    const std::vector<std::string>& moduleVars, const std::vector<std::string>& publicNames,
                    std::vector<std::string>& ownNames, const std::vector<Callee>& earlier, int& procedures) {
    Random& r = w.rnd();
    // The first procedure of a file is public and called from other files.
    const std::string name = index == 0 ? file.name + "_Init" : file.name + "_" + Word(r) + std::to_string(index);
    const int kind = index == 0 ? 0 : r.Below(10);  // 0-4 Sub, 5-7 Function, 8 Property Get, 9 Property Let
    const std::string scope = index == 0     ? "Public "
                              : r.Chance(40) ? "Public "
                              : r.Chance(50) ? "Private "
                                             : (r.Chance(30) ? "Friend " : "");
    std::string end;
    if (kind <= 4) {
        if (r.Chance(15)) {
            w.Line(scope + "Sub " + name + "(ByVal bSub As Long, _");
            w.Line("    ByRef sDim As String)");
        } else {
            w.Line(scope + "Sub " + name + "(ByVal n" + Word(r) + " As " + Type(r) + ") ' Exit Sub when done");
        }
        end = "End Sub";
    } else if (kind <= 7) {
        w.Line(scope + "Function " + name + "(ByVal a As Long, Optional ByVal b As String = \"End Function\") As " +
               Type(r));
        end = "End Function";
    } else if (kind == 8) {
        w.Line(scope + "Property Get " + name + "() As " + Type(r));
        end = "End Property";
    } else {
        w.Line(scope + "Property Let " + name + "(ByVal vNewValue As " + Type(r) + ")");
        end = "End Property";
    }
    ++procedures;
    ownNames.push_back(name);
    std::vector<std::string> locals;
    const int nLocals = 1 + r.Below(4);
    for (int i = 0; i < nLocals; ++i) {
        const std::string v = "l" + Word(r) + std::to_string(i);
        locals.push_back(v);
        if (r.Chance(20)) {
            w.Line("    Dim " + v + " As " + Type(r) + ", " + v + "x As Long");
            locals.push_back(v + "x");
        } else if (r.Chance(10)) {
            w.Line("    Dim " + v + "(10) As " + Type(r));
        } else if (r.Chance(10)) {
            w.Line("    Const " + v + " = " + std::to_string(r.Below(100)));
        } else {
            w.Line("    Dim " + v + " As " + Type(r));
        }
    }
    for (int i = 0; i < bodyLines; ++i) {
        const int what = r.Below(26);
        const std::string& local = locals[static_cast<std::size_t>(r.Below(static_cast<int>(locals.size())))];
        switch (what) {
            case 0: w.Line("    ' The End Sub of this Function comes later; Private Sub is a comment"); break;
            case 1: w.Line("    Debug.Print \"End Sub\"; " + local); break;
            case 2: w.Line("    MsgBox \"Function failed: \" & CStr(" + local + ")"); break;
            case 3:
                w.Line("    If " + local + " = 0 Then Exit " +
                       (kind <= 4   ? "Sub"
                        : kind <= 7 ? "Function"
                                    : "Property"));
                break;
            case 4: w.Line("    bSub = bVal + " + std::to_string(i)); break;
            case 5: w.Line("    SetTextProperty " + local + ", \"x\""); break;
            case 6:
                if (!moduleVars.empty())
                    w.Line("    " + moduleVars[static_cast<std::size_t>(r.Below(static_cast<int>(moduleVars.size())))] +
                           " = " + local + " + 1");
                else w.Line("    " + local + " = " + local + " + 1");
                break;
            case 7:
                if (!publicNames.empty())
                    w.Line("    Call " +
                           publicNames[static_cast<std::size_t>(r.Below(static_cast<int>(publicNames.size())))] + "(" +
                           local + ")");
                else w.Line("    " + local + " = 0");
                break;
            case 8:
                w.Line("    " + local + " = Format$(" + local + ", \"0.00\") & _");
                w.Line("        \" units\"");
                ++i;
                break;
            case 9: w.Line("    For i = 1 To " + std::to_string(1 + r.Below(50))); break;
            case 10: w.Line("    Next i"); break;
            case 11: w.Line("    Select Case " + local); break;
            case 12:
                w.Line("        Case " + std::to_string(r.Below(9)) + ": " + local + " = " + std::to_string(i));
                break;
            case 13: w.Line("    End Select"); break;
            case 14: w.Line(""); break;
            case 15: w.Line("    Rem Dim x As Long is only a remark"); break;
            case 16: w.Line("    ReDim Preserve arr(" + std::to_string(i) + ")"); break;
            case 17:
                if (file.kind == 0) w.Line("    p.X = Green: MsgBox APP_" + file.name);
                else w.Line("    " + local + " = " + local + " - 1");
                break;
            case 18:
                // Bracketed Enum members and a constant with a type character: names that are no
                // plain words.
                if (file.kind == 0) {
                    w.Line("    For i = Kinds" + file.name + ".[_First] To [_Count] - 1: " + local + " = i: Next");
                    w.Line("    MsgBox SEP_" + file.name + "$ & Padded" + file.name + "$(" + local + ")");
                    ++i;
                } else {
                    w.Line("    " + local + "=" + local + "+1");  // no blanks around the operators
                }
                break;
            case 19: {
                // Statements after ":", and a declaration that shares its line with a statement.
                const std::string t = "tmp" + Word(r) + std::to_string(i);
                w.Line("    Dim " + t + " As Double: " + t + " = (" + local + " - 1)");
                break;
            }
            case 20: {
                // A call of a procedure of this file (often private), or of the procedure itself.
                const std::string& callee =
                    ownNames[static_cast<std::size_t>(r.Below(static_cast<int>(ownNames.size())))];
                w.Line(CallLine(r, callee, file.name, local));
                break;
            }
            case 21:
                // A call of a procedure of an earlier file, whatever its scope: a private one is
                // not visible there, so it is no call of it.
                if (!earlier.empty()) {
                    const Callee& c = earlier[static_cast<std::size_t>(r.Below(static_cast<int>(earlier.size())))];
                    w.Line(CallLine(r, c.name, c.owner, local));
                } else {
                    w.Line("    " + local + " = " + local + " + 2");
                }
                break;
            case 22: {
                const std::string& callee =
                    ownNames[static_cast<std::size_t>(r.Below(static_cast<int>(ownNames.size())))];
                w.Line(NearMissLine(r, callee, local));
                break;
            }
            case 23:
                if (file.kind == 0) {
                    w.Line("    With p");
                    w.Line("        .Y = " + local + ": .Tag = \"" + local + "\"");
                    w.Line("    End With");
                    i += 2;
                } else {
                    w.Line("    If (" + local + " And 1) Then " + local + " = Not " + local);
                }
                break;
            default:
                w.Line("    " + local + " = " + local + " * " + std::to_string(2 + r.Below(7)) + " ' scale");
                break;
        }
    }
    w.Line(end);
    w.Line("");
}

}  // namespace

GeneratedProject GenerateProject(const std::string& folder, const GeneratorOptions& options) {
    namespace fs = std::filesystem;
    fs::create_directories(folder);
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base += '/';
    const std::string eol = options.lfOnly ? "\n" : "\r\n";
    Random rnd(options.seed);
    GeneratedProject result;

    std::vector<FilePlan> plans;
    const int files = options.files < 1 ? 1 : options.files;
    for (int i = 0; i < files; ++i) {
        FilePlan p;
        p.kind = (i % 4 == 1) ? 1 : (i % 4 == 3) ? 2 : 0;
        const std::string n = std::to_string(i + 1);
        if (p.kind == 0) p.name = "modGen" + n, p.fileName = p.name + ".bas";
        else if (p.kind == 1) p.name = "frmGen" + n, p.fileName = p.name + ".frm";
        else p.name = "clsGen" + n, p.fileName = p.name + ".cls";
        plans.push_back(p);
    }
    // Public procedures that others call: the first procedure of every module.
    std::vector<std::string> publicNames;
    std::vector<Callee> earlier;  // procedures of the files written so far
    const long perFile = options.lines / files;
    // Each copy of the files goes into a folder of its own ("Part1/", "Part2/", ...).
    const int copies = options.copies < 1 ? 1 : options.copies;
    std::vector<std::string> copyFolders;
    for (int c = 1; c <= copies; ++c) {
        copyFolders.push_back(copies == 1 ? std::string() : "Part" + std::to_string(c) + "/");
        fs::create_directories(base + copyFolders.back());
    }

    for (const FilePlan& plan : plans) {
        FileWriter w(rnd, eol);
        if (plan.kind == 1) {
            w.Line("VERSION 5.00");
            w.Line("Begin VB.Form " + plan.name);
            w.Line("   Caption         =   \"" + plan.name + "\"");
            w.Line("   ClientHeight    =   3195");
            w.Line("   Begin VB.CommandButton cmdOK");
            w.Line("      Caption         =   \"OK\"");
            w.Line("   End");
            w.Line("End");
        } else if (plan.kind == 2) {
            w.Line("VERSION 1.0 CLASS");
            w.Line("BEGIN");
            w.Line("  MultiUse = -1  'True");
            w.Line("END");
        }
        w.Line("Attribute VB_Name = \"" + plan.name + "\"");
        if (plan.kind != 0) {
            w.Line("Attribute VB_GlobalNameSpace = False");
            w.Line("Attribute VB_Creatable = False");
            w.Line("Attribute VB_PredeclaredId = " + std::string(plan.kind == 1 ? "True" : "False"));
            w.Line("Attribute VB_Exposed = False");
        }
        w.Line("Option Explicit");
        w.Line("");
        std::vector<std::string> moduleVars;
        const int nVars = 2 + rnd.Below(6);
        for (int i = 0; i < nVars; ++i) {
            const std::string v = "m_" + Word(rnd) + std::to_string(i);
            moduleVars.push_back(v);
            w.Line((rnd.Chance(30) ? "Public " : "Private ") + v + " As " + Type(rnd));
        }
        w.Line("Private Const MAX_" + Word(rnd) + " = " + std::to_string(rnd.Below(1000)));
        w.Line("Const N = 5");
        w.Line("Dim grid(10, 10) As Long, cells As Integer");
        if (plan.kind == 0) {
            w.Line("Public Const APP_" + plan.name + " = \"Sub Main\"");
            w.Line("Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
            w.Line("Public Declare Sub Sleep" + plan.name + " Lib \"kernel32\" Alias \"Sleep\" (ByVal ms As Long)");
            w.Line("");
            w.Line("Private Type Pt" + plan.name);
            w.Line("    X As Long");
            w.Line("    Y As Long ' the Y");
            w.Line("    Tag As String * 10");
            w.Line("End Type");
            w.Line("");
            w.Line("Public Enum Colors" + plan.name);
            w.Line("    Red");
            w.Line("    Green = &H10");
            w.Line("    Blue");
            w.Line("End Enum");
            w.Line("");
            w.Line("Public Enum Kinds" + plan.name);
            w.Line("    [_First] = 0");
            w.Line("    Small");
            w.Line("    Large = &O17");
            w.Line("    [_Count]");
            w.Line("    [_Unused] = -1");
            w.Line("End Enum");
            w.Line("Private Const SEP_" + plan.name + "$ = \",\"");
        }
        w.Line("");
        int index = 0;
        int procedures = 0;
        std::vector<std::string> ownNames;
        if (&plan == &plans.front()) {
            w.Line("Public Sub Main()");
            w.Line("    " + plan.name + "_Init 1");
            w.Line("End Sub");
            w.Line("");
            ++procedures;
        }
        if (plan.kind == 0) {
            // A function whose name carries a type character.
            w.Line("Public Function Padded" + plan.name + "$(ByVal s As String)");
            w.Line("    Dim p As Pt" + plan.name);
            w.Line("    Padded" + plan.name + "$ = Right$(Space$(10) & s, 10)");
            w.Line("End Function");
            w.Line("");
            ++procedures;
        }
        while (w.lines() < perFile) {
            const int body = 10 + rnd.Below(45);
            WriteProcedure(w, plan, index++, body, moduleVars, publicNames, ownNames, earlier, procedures);
        }
        for (const std::string& n : ownNames) earlier.push_back(Callee{n, plan.name});
        if (plan.kind == 0) publicNames.push_back(plan.name + "_Init");
        result.procedures += procedures * copies;
        result.lines += w.lines() * copies;
        for (const std::string& folder : copyFolders) {
            std::ofstream out(base + folder + plan.fileName, std::ios::binary | std::ios::trunc);
            out << w.text();
            if (!out) throw std::runtime_error("cannot write " + base + folder + plan.fileName);
        }
    }

    std::string vbp;
    auto add = [&](const std::string& s) { vbp += s + eol; };
    add("Type=Exe");
    add("Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\Windows\\system32\\stdole2.tlb#OLE "
        "Automation");
    for (const std::string& folder : copyFolders) {
        std::string listed = folder;
        if (!listed.empty()) listed.back() = '\\';
        for (const FilePlan& p : plans) {
            if (p.kind == 0) add("Module=" + p.name + "; " + listed + p.fileName);
            else if (p.kind == 1) add("Form=" + listed + p.fileName);
            else add("Class=" + p.name + "; " + listed + p.fileName);
        }
    }
    add("Startup=\"Sub Main\"");
    add("Name=\"Generated\"");
    add("MajorVer=1");
    result.projectPath = base + "Generated.vbp";
    std::ofstream out(result.projectPath, std::ios::binary | std::ios::trunc);
    out << vbp;
    if (!out) throw std::runtime_error("cannot write " + result.projectPath);
    result.files = files * copies;
    return result;
}

}  // namespace bench
