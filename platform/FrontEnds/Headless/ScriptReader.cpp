#include "Headless/ScriptReader.h"

#include "Runtime/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t readSize = 64 * 1024;

[[noreturn]] void cannotRead(const std::string& name, int error) {
    Runtime::raise(Runtime::Error("cannot read " + name + ": " + std::strerror(error)));
}

[[noreturn]] void tooLong(int lineNumber) {
    Runtime::raise(Runtime::Error("line " + std::to_string(lineNumber) + ": line too long"));
}

} // namespace

ScriptReader::ScriptReader(const std::optional<std::string>& path)
    : m_file(path ? open(path->c_str(), O_RDONLY | O_CLOEXEC) : STDIN_FILENO),
      m_ownsFile(path.has_value()), m_name(path.value_or("standard input")) {
    if (m_file < 0)
        cannotRead(m_name, errno);
}

ScriptReader::~ScriptReader() {
    if (m_ownsFile)
        close(m_file);
}

std::optional<std::string> ScriptReader::nextLine() {
    std::size_t end;
    while ((end = m_buffer.find('\n', m_start)) == std::string::npos) {
        if (m_buffer.size() - m_start > maximumLineLength)
            tooLong(m_lineNumber + 1);
        if (!fill()) {
            if (m_start == m_buffer.size())
                return std::nullopt;
            end = m_buffer.size(); // a last line without a line end
            break;
        }
    }
    ++m_lineNumber;
    if (end - m_start > maximumLineLength)
        tooLong(m_lineNumber);
    std::string line = m_buffer.substr(m_start, end - m_start);
    m_start = std::min(end + 1, m_buffer.size());
    return line;
}

// Reads more of the script; false once it has ended.
bool ScriptReader::fill() {
    if (m_ended)
        return false;
    m_buffer.erase(0, m_start);
    m_start = 0;
    const std::size_t kept = m_buffer.size();
    m_buffer.resize(kept + readSize);
    ssize_t count;
    do
        count = read(m_file, m_buffer.data() + kept, readSize);
    while (count < 0 && errno == EINTR);
    if (count < 0)
        cannotRead(m_name, errno);
    m_buffer.resize(kept + static_cast<std::size_t>(count));
    m_ended = count == 0;
    return !m_ended;
}
