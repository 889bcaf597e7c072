#pragma once

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

    static NSBundle& mainBundle();

    // Called by the program's generated resource table before main runs.
    void addEmbeddedResources(std::span<const EmbeddedResource> resources);
    void setResourceDirectory(std::string directory) { m_resourceDirectory = std::move(directory); }

    // The path a message names the resource by: in the folder, or "Resources/NAME".
    std::string pathForResource(std::string_view name) const;
    // Empty when the resource is missing or unreadable.
    std::optional<std::string> contentsOfResource(std::string_view name) const;

  private:
    NSBundle() = default;
    std::map<std::string, std::string_view, std::less<>> m_embedded;
    std::optional<std::string> m_resourceDirectory;
};
