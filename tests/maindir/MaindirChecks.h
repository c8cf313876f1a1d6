// Consistency checks of the shipped main directory: the default "Config.xml", the four .Lin files and
// the import tree's icons. Each check returns the list of problems it found (empty when the data are
// right), so that the tests can show both that the shipped data pass and that broken data are caught.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace maindir {

using Problems = std::vector<std::string>;

// Child of a dictionary element by key ("name" attribute), ASCII letters compared without case, as a
// configuration key path step does. Null node when there is none.
pugi::xml_node FindKey(pugi::xml_node dir, std::string_view key);
// Follows a backslash-separated key path ("TAV\\PIPE_SYS_SET") from `dir`.
pugi::xml_node FindPath(pugi::xml_node dir, std::string_view path);

// Every element is one of the dictionary's element words, carries a key, and holds a value text that
// reads as its type; "Choice" appears only inside "Option", with at most one selected.
Problems CheckElementWords(const pugi::xml_document& doc);
// The sections the options dialog looks for exist with the right element kinds.
Problems CheckSections(const pugi::xml_document& doc);
// Pipe systems: keys, attributes, flow types, riser styles, deletability, default materials.
Problems CheckPipeSystems(const pugi::xml_document& doc, size_t minimumCount);
// Pipe materials: diameter tables (DN rising, inner below outer), hydraulic and label parameters.
Problems CheckMaterials(const pugi::xml_document& doc, size_t minimumCount);
// Layer standards: current standard, one system layer key per pipe system, and exactly the assembly
// layers that regenerating the layer standards from the pipe systems produces.
Problems CheckLayerStandards(const pugi::xml_document& doc, size_t minimumStandards);
// Text and dimension styles carry the attributes their sheets show.
Problems CheckStyles(const pugi::xml_document& doc);
// Advanced options: nested categories and every value type.
Problems CheckAdvance(const pugi::xml_document& doc);
// Every linetype named by a pipe system or a layer key is CONTINUOUS or defined in `linNames`.
Problems CheckLinetypeNames(const pugi::xml_document& doc, const std::vector<std::string>& linNames);

// A .Lin file's text: CR LF line ends, one marker line, every definition a header line followed by a
// pattern line, and an own section that holds nothing but text linetype definitions.
Problems CheckLinText(std::string_view text);
// Header names ("*NAME,...") of a .Lin text, in file order.
std::vector<std::string> LinNames(std::string_view text);
// The own section of a .Lin text: everything after the first marker line.
std::string LinOwnSection(std::string_view text);

// An ICO file: header, directory entries and image data that lie inside the file; `sizes` receives the
// square sizes of the images.
Problems CheckIcon(std::string_view bytes, std::vector<int>* sizes = nullptr);

// Whole-file helpers.
std::string ReadFile(const std::string& path);

}  // namespace maindir
