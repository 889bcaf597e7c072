#include "Foundation/NSFileContents.h"

#include "Runtime/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void cannotRead(const std::string& path, const std::string& reason) {
    Runtime::raise(Runtime::Error("cannot read " + path + ": " + reason));
}

// Closes the file however reading ends.
struct FileDescriptor {
    int number;
    ~FileDescriptor() {
        if (number >= 0)
            close(number);
    }
};

[[noreturn]] void cannotWrite(const std::string& path, int error) {
    Runtime::raise(Runtime::Error("cannot write " + path + ": " + std::strerror(error)));
}

// 0, or the errno of the first step that failed; the file is closed either way.
int writeAndClose(int file, std::string_view contents) {
    int error = 0;
    while (!contents.empty() && error == 0) {
        const ssize_t written = write(file, contents.data(), contents.size());
        if (written > 0)
            contents.remove_prefix(static_cast<std::size_t>(written));
        else if (written < 0 && errno != EINTR)
            error = errno;
        else if (written == 0)
            error = EIO;
    }
    // A full disk may only show when the data is flushed, at close.
    if (close(file) != 0 && error == 0)
        error = errno;
    return error;
}

// Devices and pipes (/dev/stdout, a FIFO) cannot be replaced by a file; they are written
// directly, each write checked.
bool isRegularOrMissing(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode);
}

} // namespace

std::string NSDataWithContentsOfFile(const std::string& path, std::size_t maximumLength) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.number < 0)
        cannotRead(path, std::strerror(errno));
    struct stat status {};
    if (fstat(file.number, &status) != 0)
        cannotRead(path, std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        cannotRead(path, "it is a directory");
    if (!S_ISREG(status.st_mode))
        cannotRead(path, "it is not a regular file");
    if (static_cast<std::size_t>(status.st_size) > maximumLength)
        cannotRead(path, "it is larger than " + std::to_string(maximumLength) + " bytes");

    std::string contents(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t length = 0;
    while (length < contents.size()) {
        const ssize_t count = read(file.number, contents.data() + length, contents.size() - length);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            cannotRead(path, std::strerror(errno));
        if (count == 0)
            break; // the file shrank while it was read
        length += static_cast<std::size_t>(count);
    }
    contents.resize(length);
    return contents;
}

void NSDataWriteToFileAtomically(const std::string& path, std::string_view contents) {
    if (!isRegularOrMissing(path)) {
        const int file = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (file < 0)
            cannotWrite(path, errno);
        if (const int error = writeAndClose(file, contents))
            cannotWrite(path, error);
        return;
    }
    const std::string temporary = path + "." + std::to_string(getpid()) + ".partial";
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0)
        cannotWrite(path, errno);
    int error = writeAndClose(file, contents);
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        unlink(temporary.c_str());
        cannotWrite(path, error);
    }
}
