#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Where the application's resources come from: the copies built into the program, or a
// folder given at start-up (for design work). One per process.
class NSBundle {
  public:
    struct EmbeddedResource {
        std::string_view name;
        std::string_view contents;
    };
    // No resource of a screen comes near this; a bigger file is not one of ours.
    static constexpr std::size_t maximumResourceLength = 1 << 20;

    static NSBundle& mainBundle();

    // Called by the program's generated resource table before main runs.
    void addEmbeddedResources(std::span<const EmbeddedResource> resources);
    void setResourceDirectory(std::string directory);

    // The path a message names the resource by: in the folder, or "Resources/NAME".
    std::string pathForResource(std::string_view name) const;
    // Raises Runtime::Error naming the path and the reason when it cannot be read.
    std::string contentsOfResource(std::string_view name) const;

    // A string value of Info.plist ("CFBundleName"), in XML or binary, read once; empty when
    // the key is not there. Raises Runtime::Error when Info.plist cannot be read or is not a
    // property list.
    std::optional<std::string> objectForInfoDictionaryKey(std::string_view key);

  private:
    NSBundle() = default;
    const std::map<std::string, std::string, std::less<>>& infoDictionary();

    std::map<std::string, std::string_view, std::less<>> m_embedded;
    std::optional<std::string> m_resourceDirectory;
    std::optional<std::map<std::string, std::string, std::less<>>> m_infoDictionary;
};
