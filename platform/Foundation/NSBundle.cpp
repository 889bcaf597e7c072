#include "Foundation/NSBundle.h"

#include <fstream>
#include <sstream>

NSBundle& NSBundle::mainBundle() {
    static NSBundle bundle;
    return bundle;
}

void NSBundle::addEmbeddedResources(std::span<const EmbeddedResource> resources) {
    for (const auto& [name, contents] : resources)
        m_embedded.insert_or_assign(std::string(name), contents);
}

std::string NSBundle::pathForResource(std::string_view name) const {
    if (m_resourceDirectory)
        return *m_resourceDirectory + "/" + std::string(name);
    return "Resources/" + std::string(name);
}

std::optional<std::string> NSBundle::contentsOfResource(std::string_view name) const {
    if (!m_resourceDirectory) {
        const auto found = m_embedded.find(name);
        if (found == m_embedded.end())
            return std::nullopt;
        return std::string(found->second);
    }
    std::ifstream file(pathForResource(name), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad())
        return std::nullopt;
    return contents.str();
}
