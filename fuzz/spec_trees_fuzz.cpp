// specprip.tkd and specprisl.tkd: the tree and its substitutions. Every node's path is looked up
// and every node gives an accessory text; an accessory entry never spans lines and decodes back
// to the text it was encoded from when that text holds no tab or CR.
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.hpp"
#include "project/specification_sheet.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tarvik::SpecTreeFile tree = tarvik::ParseSpecTree(bytes);
    for (std::size_t i = 0; i < tree.nodes.size() && i < 200; ++i) {
        const std::string path = tarvik::ConnectionNodePath(tree, i);
        const auto found = tarvik::LookupConnection(tree, path);
        // A path whose texts hold no separator always leads to a node.
        if (!path.empty() && path.find("/ ") == std::string::npos)
            TARVIK_FUZZ_CHECK(tree.nodes[i].depth != 0 || found);
        const std::string text = tarvik::AccessoryNodeText(tree, i);
        const std::string entry = tarvik::EncodeAccessory(text);
        TARVIK_FUZZ_CHECK(entry.find('\n') == std::string::npos && entry.find('\t') == std::string::npos);
        tarvik::ApplySubstitutions(entry, tree.substitutions);
    }
    const std::string line(bytes.substr(0, 256));
    if (line.find_first_of("\r\t") == std::string::npos && line.find("|+") == std::string::npos &&
        line.find("-|") == std::string::npos && (line.empty() || line.back() != '\n'))
        TARVIK_FUZZ_CHECK(tarvik::DecodeAccessory(tarvik::EncodeAccessory(line)) == line);
    return 0;
}
