// tarvik-cli catalogue dump FILE [--kind K]
// tarvik-cli catalogue build SOURCE.json OUT [--kind K]
// tarvik-cli catalogue kinds
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "data/archive.hpp"

namespace tarvik::cli {
namespace {

int Usage(const std::string& error) {
    std::fprintf(stderr,
                 "tarvik-cli catalogue: %s\n"
                 "usage: tarvik-cli catalogue dump FILE [--kind K]\n"
                 "       tarvik-cli catalogue build SOURCE.json OUT [--kind K]\n"
                 "       tarvik-cli catalogue kinds\n",
                 error.c_str());
    return kExitUsage;
}

std::string KindList() {
    std::string names;
    for (const auto& k : CatalogueKinds()) names += (names.empty() ? "" : ", ") + std::string(k.name);
    return names;
}

// --kind when given, else the kind of the file name.
const CatalogueKind* ChooseKind(const std::string& kindOption, bool hasKind, const std::filesystem::path& file,
                                std::string& error) {
    if (hasKind) {
        const CatalogueKind* k = FindCatalogueKind(kindOption);
        if (!k) error = "unknown kind '" + kindOption + "' (kinds: " + KindList() + ")";
        return k;
    }
    const CatalogueKind* k = CatalogueKindOfFile(file);
    if (!k) error = "cannot tell the kind of '" + file.filename().string() + "' from its name; give --kind (kinds: " + KindList() + ")";
    return k;
}

int Dump(const CatalogueKind& kind, const std::filesystem::path& file) {
    try {
        nlohmann::json j = kind.dump(file);
        // Kinds that share a layout name the one chosen.
        if (j.is_object() && j.contains("kind")) j["kind"] = kind.name;
        std::cout << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return std::cout.good() ? kExitOk : kExitRefused;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli catalogue dump: %s\n", e.what());
        return kExitRefused;
    }
}

int Build(const CatalogueKind& kind, const std::filesystem::path& source, const std::filesystem::path& out) {
    if (!kind.build) {
        std::fprintf(stderr, "tarvik-cli catalogue build: kind %s is never written: %s\n", kind.name, kind.readOnlyReason);
        return kExitUsage;
    }
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tarvik-cli catalogue build: cannot open %s\n", source.string().c_str());
        return kExitRefused;
    }
    nlohmann::json j;
    try {
        j = ParseJsonInput(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    } catch (const JsonInputError& e) {
        std::fprintf(stderr, "tarvik-cli catalogue build: %s is not valid JSON: %s\n", source.string().c_str(), e.what());
        return kExitUsage;
    }
    // A dump names its kind; building it as another kind is a mistake, not a conversion.
    if (j.is_object() && j.contains("kind") && j["kind"] != kind.name) {
        std::fprintf(stderr, "tarvik-cli catalogue build: %s describes a file of kind %s, not %s\n",
                     source.string().c_str(), j["kind"].dump().c_str(), kind.name);
        return kExitUsage;
    }
    try {
        kind.build(j, out);
        return kExitOk;
    } catch (const CatalogueJsonError& e) {
        std::fprintf(stderr, "tarvik-cli catalogue build: %s: %s\n", source.string().c_str(), e.what());
        return kExitUsage;
    } catch (const nlohmann::json::exception& e) {
        std::fprintf(stderr, "tarvik-cli catalogue build: %s: %s\n", source.string().c_str(), e.what());
        return kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli catalogue build: %s\n", e.what());
        return kExitRefused;
    }
}

}  // namespace

int RunCatalogue(std::vector<std::string>& args) {
    std::string kindOption, error;
    const bool hasKind = TakeOption(args, "--kind", kindOption, error);
    if (!error.empty()) return Usage(error);
    if (args.empty()) return Usage("missing dump, build or kinds");
    const std::string action = args[0];
    if (action == "kinds" && args.size() == 1) {
        for (const auto& k : CatalogueKinds()) std::printf("%s%s\n", k.name, k.build ? "" : " (dump only)");
        return kExitOk;
    }
    if (action == "dump" && args.size() == 2) {
        const CatalogueKind* kind = ChooseKind(kindOption, hasKind, args[1], error);
        return kind ? Dump(*kind, args[1]) : Usage(error);
    }
    if (action == "build" && args.size() == 3) {
        const CatalogueKind* kind = ChooseKind(kindOption, hasKind, args[2], error);
        return kind ? Build(*kind, args[1], args[2]) : Usage(error);
    }
    return Usage("unexpected arguments");
}

}  // namespace tarvik::cli
