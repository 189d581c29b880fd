#pragma once
// The pipe database potrubi.tkd (no version number: a count, then kind, size, wall, outside
// diameter and wall thickness per record) and the selection logic of the pipe dialog.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/text_check.hpp"

namespace tarvik {

class ArchiveReader;
class ArchiveWriter;

inline constexpr const char* kPipesFileName = "potrubi.tkd";

struct Pipe {
    std::string kind;
    std::string size;  // "DN 50", "1.1/2" ...: the part after the first blank is the size value
    std::string wall;  // the part after the first blank is a number
    double outsideDiameter = 0;  // mm
    double wallThickness = 0;    // mm
    int number = 0;              // not stored: 1..n in file order at load

    bool operator==(const Pipe&) const = default;
};

// Reads a whole file and numbers the records 1..n; throws ArchiveError on a truncated or
// corrupt file (a NaN or infinite number counts as corrupt).
std::vector<Pipe> ReadPipes(ArchiveReader& in);
std::vector<Pipe> ReadPipes(const std::filesystem::path& path);
void WritePipes(ArchiveWriter& out, const std::vector<Pipe>& pipes);
// The first text that code page 1250 cannot hold: the record (kind and size) and field.
std::optional<TextProblem> FindUnstorableText(const std::vector<Pipe>& pipes);

struct PipeCatalogue {
    std::vector<Pipe> pipes;
    // The file exists but could not be read: it must not be saved over.
    bool fileRefused = false;
};

// A missing file gives an empty list silently; a present file that cannot be read is refused
// with a message naming it and left untouched.
PipeCatalogue LoadPipes(const std::filesystem::path& dir);
// Rewrites potrubi.tkd atomically; false (with a message) when it could not be written, was
// refused at load or a text has no code page 1250 form (the file then keeps its bytes).
bool SavePipes(const PipeCatalogue& catalogue, const std::filesystem::path& dir);

// The number of a new record: the first i, counting from 1, for which the i-th record does not
// carry i; when some later record already carries that i, the next free number after it.
int NewPipeNumber(const std::vector<Pipe>& pipes);
Pipe& AddPipe(std::vector<Pipe>& pipes, Pipe pipe);
Pipe* FindPipeByNumber(std::vector<Pipe>& pipes, int number);
bool RemovePipe(std::vector<Pipe>& pipes, int number);

// ---- Selection dialog --------------------------------------------------------------------------
// The lists below are the entries after the dialog's leading "choose" entry.

// The size value of a size text: the part after the first blank, a number or an inch fraction
// ("1.1/2" is 1.5, "3/4" is 0.75).
double PipeSizeValue(const std::string& size);
// The number after the first blank of a wall text.
double PipeWallValue(const std::string& wall);

// The distinct kinds, in ascending text order (code page 1250 byte order).
std::vector<std::string> PipeKinds(const std::vector<Pipe>& pipes);
// The distinct sizes of a kind, in ascending order of their size value.
std::vector<std::string> PipeSizes(const std::vector<Pipe>& pipes, const std::string& kind);
// The distinct walls of a kind and size, in ascending order of their number.
std::vector<std::string> PipeWalls(const std::vector<Pipe>& pipes, const std::string& kind,
                                   const std::string& size);
// The record with these three keys; null when one of them is empty or none matches.
const Pipe* FindPipe(const std::vector<Pipe>& pipes, const std::string& kind,
                     const std::string& size, const std::string& wall);

// The entry a stored key selects: the first that starts with it, ignoring case; -1 for none or
// for an empty key.
int SelectByPrefix(const std::vector<std::string>& entries, const std::string& key);

// One side of the selection dialog (inlet or outlet).
struct PipeChoice {
    std::string kind, size, wall;
    double outsideDiameter = 0;
    double wallThickness = 0;
};
// Sets the values of the choice from the record of its three keys (0 and 0 without one).
void ResolvePipeChoice(const std::vector<Pipe>& pipes, PipeChoice& choice);
// OK of the dialog needs all four values.
bool PipeChoicesComplete(const PipeChoice& inlet, const PipeChoice& outlet);

}  // namespace tarvik
