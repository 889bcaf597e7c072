#pragma once

#include <optional>
#include <string>

// Reads a script one line at a time from a file or standard input, with no line longer than
// a mebibyte: a device that never ends a line (/dev/zero) stops the run instead of filling
// memory. Every read error stops it too; a script that could not be read is never taken as
// one that ended.
class ScriptReader {
  public:
    static constexpr std::size_t maximumLineLength = 1 << 20;

    // Standard input when there is no path. Raises Runtime::Error when the file cannot be
    // opened.
    explicit ScriptReader(const std::optional<std::string>& path);
    ~ScriptReader();
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    // The next line, without its line end; empty at the end of the script. Raises
    // Runtime::Error "cannot read NAME: REASON" or "line N: line too long".
    std::optional<std::string> nextLine();
    int lineNumber() const { return m_lineNumber; }

  private:
    bool fill();

    int m_file;
    bool m_ownsFile;
    std::string m_name;
    std::string m_buffer;
    std::size_t m_start = 0;
    bool m_ended = false;
    int m_lineNumber = 0;
};
