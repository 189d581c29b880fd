#include "data/pipes.hpp"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "data/archive.hpp"
#include "data/cp1250.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"

namespace tarvik {
namespace {

// Three empty texts and two doubles.
constexpr std::size_t kMinRecordBytes = 3 + 2 * 8;

// Catalogue file messages shared with the unit files (%1: the file, with the reason where known).
// A present catalogue file that cannot be read.
constexpr int kMsgCatalogueRefused = 63930;
// The file was refused at load and is not saved over.
constexpr int kMsgCatalogueNotSaved = 63931;
// The file could not be written.
constexpr int kMsgCatalogueWriteFailed = 63932;

// The part after the first blank; the whole text when there is none or it comes first.
std::string AfterFirstBlank(const std::string& text) {
    const std::size_t blank = text.find(' ');
    return blank == std::string::npos || blank == 0 ? text : text.substr(blank + 1);
}

// The combo boxes insert each new entry before the first one that is not smaller, so among
// equal keys the later record comes first.
template <class Less>
void InsertOrdered(std::vector<std::string>& list, const std::string& text, Less less) {
    if (std::find(list.begin(), list.end(), text) != list.end()) return;
    auto at = std::find_if(list.begin(), list.end(), [&](const std::string& e) { return !less(e, text); });
    list.insert(at, text);
}

bool TextLess(const std::string& a, const std::string& b) {
    // The program compares the texts as the file stores them.
    return Utf8ToCp1250(a) < Utf8ToCp1250(b);
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::vector<Pipe> ReadPipes(ArchiveReader& in) {
    const std::int32_t count = in.ReadInt32();
    in.CheckCount(count, kMinRecordBytes);
    std::vector<Pipe> pipes;
    pipes.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        Pipe p;
        p.kind = in.ReadText();
        p.size = in.ReadText();
        p.wall = in.ReadText();
        p.outsideDiameter = in.ReadFiniteDouble();
        p.wallThickness = in.ReadFiniteDouble();
        p.number = i + 1;
        pipes.push_back(std::move(p));
    }
    return pipes;
}

std::vector<Pipe> ReadPipes(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    return ReadPipes(in);
}

void WritePipes(ArchiveWriter& out, const std::vector<Pipe>& pipes) {
    out.WriteInt32(static_cast<std::int32_t>(pipes.size()));
    for (const Pipe& p : pipes) {
        out.WriteText(p.kind);
        out.WriteText(p.size);
        out.WriteText(p.wall);
        out.WriteDouble(p.outsideDiameter);
        out.WriteDouble(p.wallThickness);
    }
}

std::optional<TextProblem> FindUnstorableText(const std::vector<Pipe>& pipes) {
    TextCheck check;
    for (std::size_t i = 0; i < pipes.size() && !check.problem(); ++i) {
        const Pipe& p = pipes[i];
        const std::string record = RecordLabel(p.kind + " " + p.size, i + 1);
        check.Check(p.kind, record, "kind");
        check.Check(p.size, record, "size");
        check.Check(p.wall, record, "wall");
    }
    return check.problem();
}

PipeCatalogue LoadPipes(const std::filesystem::path& dir) {
    PipeCatalogue catalogue;
    try {
        if (auto in = ArchiveReader::OpenIfPresent(dir / kPipesFileName)) catalogue.pipes = ReadPipes(*in);
    } catch (const ArchiveError& e) {
        catalogue.fileRefused = true;
        ShowMessage(kMsgCatalogueRefused, e.what());
    }
    return catalogue;
}

bool SavePipes(const PipeCatalogue& catalogue, const std::filesystem::path& dir) {
    const std::filesystem::path path = dir / kPipesFileName;
    if (catalogue.fileRefused) {
        ShowMessage(kMsgCatalogueNotSaved, path.string());
        return false;
    }
    if (auto problem = FindUnstorableText(catalogue.pipes)) {
        ShowMessage(kMsgTextNotStorable, DescribeTextProblem(*problem));
        return false;
    }
    ArchiveWriter out;
    WritePipes(out, catalogue.pipes);
    try {
        out.SaveAtomically(path);
    } catch (const ArchiveError& e) {
        ShowMessage(kMsgCatalogueWriteFailed, e.what());
        return false;
    }
    return true;
}

int NewPipeNumber(const std::vector<Pipe>& pipes) {
    int i = 1;
    while (static_cast<std::size_t>(i) <= pipes.size() && pipes[i - 1].number == i) ++i;
    // Numbers identify records in the list dialog, so one a later record carries is passed over.
    std::unordered_set<int> used;
    for (const Pipe& p : pipes) used.insert(p.number);
    while (used.count(i)) ++i;
    return i;
}

Pipe& AddPipe(std::vector<Pipe>& pipes, Pipe pipe) {
    pipe.number = NewPipeNumber(pipes);
    pipes.push_back(std::move(pipe));
    return pipes.back();
}

Pipe* FindPipeByNumber(std::vector<Pipe>& pipes, int number) {
    auto it = std::find_if(pipes.begin(), pipes.end(), [&](const Pipe& p) { return p.number == number; });
    return it == pipes.end() ? nullptr : &*it;
}

bool RemovePipe(std::vector<Pipe>& pipes, int number) {
    auto it = std::find_if(pipes.begin(), pipes.end(), [&](const Pipe& p) { return p.number == number; });
    if (it == pipes.end()) return false;
    pipes.erase(it);
    return true;
}

// ---- Selection dialog --------------------------------------------------------------------------

double PipeSizeValue(const std::string& size) {
    const std::string part = AfterFirstBlank(size);
    const std::size_t slash = part.find('/');
    if (slash == std::string::npos || slash == 0) return ParseNumber(part);
    const std::size_t dot = part.find('.');
    double whole = 0;
    std::size_t numeratorStart = 0;
    if (dot != std::string::npos && dot < slash) {
        whole = ParseNumber(part.substr(0, dot));
        numeratorStart = dot + 1;
    }
    const double numerator = ParseNumber(part.substr(numeratorStart, slash - numeratorStart));
    const double denominator = ParseNumber(part.substr(slash + 1));
    // A zero denominator would make the value infinite; the whole inches still order the size.
    return denominator == 0 ? whole : whole + numerator / denominator;
}

double PipeWallValue(const std::string& wall) { return ParseNumber(AfterFirstBlank(wall)); }

std::vector<std::string> PipeKinds(const std::vector<Pipe>& pipes) {
    std::vector<std::string> kinds;
    for (const Pipe& p : pipes) InsertOrdered(kinds, p.kind, TextLess);
    return kinds;
}

std::vector<std::string> PipeSizes(const std::vector<Pipe>& pipes, const std::string& kind) {
    std::vector<std::string> sizes;
    auto less = [](const std::string& a, const std::string& b) { return PipeSizeValue(a) < PipeSizeValue(b); };
    for (const Pipe& p : pipes)
        if (p.kind == kind) InsertOrdered(sizes, p.size, less);
    return sizes;
}

std::vector<std::string> PipeWalls(const std::vector<Pipe>& pipes, const std::string& kind,
                                   const std::string& size) {
    std::vector<std::string> walls;
    auto less = [](const std::string& a, const std::string& b) { return PipeWallValue(a) < PipeWallValue(b); };
    for (const Pipe& p : pipes)
        if (p.kind == kind && p.size == size) InsertOrdered(walls, p.wall, less);
    return walls;
}

const Pipe* FindPipe(const std::vector<Pipe>& pipes, const std::string& kind,
                     const std::string& size, const std::string& wall) {
    if (kind.empty() || size.empty() || wall.empty()) return nullptr;
    for (const Pipe& p : pipes)
        if (p.kind == kind && p.size == size && p.wall == wall) return &p;
    return nullptr;
}

int SelectByPrefix(const std::vector<std::string>& entries, const std::string& key) {
    if (key.empty()) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& e = entries[i];
        if (e.size() >= key.size() &&
            std::equal(key.begin(), key.end(), e.begin(), [](char a, char b) { return Lower(a) == Lower(b); }))
            return static_cast<int>(i);
    }
    return -1;
}

void ResolvePipeChoice(const std::vector<Pipe>& pipes, PipeChoice& choice) {
    const Pipe* p = FindPipe(pipes, choice.kind, choice.size, choice.wall);
    choice.outsideDiameter = p ? p->outsideDiameter : 0;
    choice.wallThickness = p ? p->wallThickness : 0;
}

bool PipeChoicesComplete(const PipeChoice& inlet, const PipeChoice& outlet) {
    return inlet.outsideDiameter != 0 && inlet.wallThickness != 0 && outlet.outsideDiameter != 0 &&
           outlet.wallThickness != 0;
}

}  // namespace tarvik
