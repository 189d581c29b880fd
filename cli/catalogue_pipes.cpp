// The pipe file "potrubi.tkd" as JSON.
#include <algorithm>
#include <cctype>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "data/pipes.hpp"

namespace tarvik::cli {

using nlohmann::json;

bool IsPipesFileName(const std::string& fileName) {
    std::string s = std::filesystem::path(fileName).filename().string();
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s == kPipesFileName;
}

json DumpPipes(const std::filesystem::path& path) {
    json records = json::array();
    for (const Pipe& p : ReadPipes(path)) {
        records.push_back({{"pipeKind", p.kind},
                           {"pipeSize", p.size},
                           {"pipeWall", p.wall},
                           {"outsideDiameter", p.outsideDiameter},
                           {"wallThickness", p.wallThickness}});
    }
    return {{"kind", "potrubi"}, {"records", records}};
}

void BuildPipes(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "records"});
    if (o.Has("kind") && o.Text("kind") != "potrubi") JsonFail("kind", "expected \"potrubi\"");
    std::vector<Pipe> pipes;
    const auto records = o.Array("records");
    for (std::size_t i = 0; i < records.size(); ++i) {
        JsonObject r(records[i], Indexed(o.Where("records"), i));
        r.AllowOnly({"pipeKind", "pipeSize", "pipeWall", "outsideDiameter", "wallThickness"});
        pipes.push_back(Pipe{r.Text("pipeKind"), r.Text("pipeSize"), r.Text("pipeWall"),
                             r.Number("outsideDiameter", 0), r.Number("wallThickness", 0),
                             static_cast<int>(i) + 1});
    }
    ArchiveWriter w;
    WritePipes(w, pipes);
    w.SaveAtomically(out);
}

}  // namespace tarvik::cli
