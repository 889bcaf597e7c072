#include "Foundation/NSBundle.h"

#include "Foundation/NSFileContents.h"
#include "PropertyList.h"
#include "Runtime/Error.h"

namespace {

constexpr std::string_view infoPlist = "Info.plist";

} // namespace

NSBundle& NSBundle::mainBundle() {
    static NSBundle bundle;
    return bundle;
}

void NSBundle::addEmbeddedResources(std::span<const EmbeddedResource> resources) {
    for (const auto& [name, contents] : resources)
        m_embedded.insert_or_assign(std::string(name), contents);
}

void NSBundle::setResourceDirectory(std::string directory) {
    m_resourceDirectory = std::move(directory);
    m_infoDictionary.reset();
}

std::string NSBundle::pathForResource(std::string_view name) const {
    if (m_resourceDirectory)
        return *m_resourceDirectory + "/" + std::string(name);
    return "Resources/" + std::string(name);
}

std::string NSBundle::contentsOfResource(std::string_view name) const {
    if (m_resourceDirectory)
        return NSDataWithContentsOfFile(pathForResource(name), maximumResourceLength);
    const auto found = m_embedded.find(name);
    if (found == m_embedded.end())
        Runtime::raise(Runtime::Error("cannot read " + pathForResource(name) +
                                      ": the program was built without it"));
    return std::string(found->second);
}

std::optional<std::string> NSBundle::objectForInfoDictionaryKey(std::string_view key) {
    const auto& dictionary = infoDictionary();
    const auto found = dictionary.find(key);
    if (found == dictionary.end())
        return std::nullopt;
    return found->second;
}

const std::map<std::string, std::string, std::less<>>& NSBundle::infoDictionary() {
    if (!m_infoDictionary)
        m_infoDictionary.emplace(
            stringsOfPropertyList(contentsOfResource(infoPlist), pathForResource(infoPlist)));
    return *m_infoDictionary;
}
