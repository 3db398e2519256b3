#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <cstdlib>

#include "store/FileIo.h"

namespace tav {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool closeChecked() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

FileError readError(const std::string& path) {
    return FileError(path + " kann nicht gelesen werden");
}

FileError writeError(const std::string& path) {
    return FileError("nach " + path + " kann nicht geschrieben werden");
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        throw readError(path);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) throw readError(path);
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) throw fileTooLarge(path, maxBytes);
    try {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw readError(path);
            if (n == 0) return bytes;
            // The file may grow while it is read.
            if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
                throw fileTooLarge(path, maxBytes);
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        throw noMemoryFor(path);
    }
}

namespace {

// A link is followed to the file it names: the write replaces that file and
// leaves the link in place.
std::string linkTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;  // a dangling link: written as given
    std::string target(resolved);
    std::free(resolved);
    return target;
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = linkTarget(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    // A file the user made read-only is not replaced behind their back.
    if (replacing && S_ISREG(old.st_mode) && (old.st_mode & 0222) == 0) throw writeError(path);

    // A name of our own, never an existing file: a second copy of the program
    // writing at the same moment must not share the temporary file.
    static unsigned counter = 0;
    std::string temp;
    int raw = -1;
    for (int attempt = 0; raw < 0 && attempt < 100; ++attempt) {
        temp = temporaryFileName(target, static_cast<unsigned long>(::getpid()), ++counter);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) break;
    }
    if (raw < 0) throw writeError(path);
    Fd fd(raw);
    bool written = writeAll(fd.get(), bytes);
    if (written && replacing) {
        // Permissions and owner as the user left them. Only root may give a
        // file away, so a refused change of owner is no failure.
        written = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
        (void)!::fchown(fd.get(), old.st_uid, old.st_gid);
    }
    written = written && ::fsync(fd.get()) == 0;
    if (!fd.closeChecked() || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw writeError(path);
    }
    // The rename itself reaches the disk only with the directory; a failure
    // here changes nothing about the file's content, so it is not reported.
    Fd dir(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

bool canCreateFilesIn(const std::string& directory) {
    const std::string probe =
        temporaryFileName(directory + "Tavelin.ini", static_cast<unsigned long>(::getpid()), 0);
    Fd fd(::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.get() < 0) return errno == EEXIST;
    ::unlink(probe.c_str());
    return true;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool deleteFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
    if (S_ISDIR(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

namespace {

std::optional<std::vector<std::string>> entriesIn(const std::string& directory, bool directories) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) break;
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        const bool isDirectory =
            ::stat((directory + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (isDirectory == directories) names.push_back(name);
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    if (!complete) return std::nullopt;
    return names;
}

}  // namespace

std::optional<std::vector<std::string>> filesIn(const std::string& directory) {
    return entriesIn(directory, false);
}

std::optional<std::vector<std::string>> directoriesIn(const std::string& directory) {
    return entriesIn(directory, true);
}

bool makeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool renameDirectory(const std::string& from, const std::string& to) {
    struct stat st {};
    // rename() would replace an empty directory at the target.
    if (::lstat(to.c_str(), &st) == 0) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removeEmptyDirectory(const std::string& path) {
    return ::rmdir(path.c_str()) == 0 || errno == ENOENT;
}

std::string absolutePath(const std::string& path) {
    std::string joined = path;
    if (!path.starts_with('/')) {
        char* cwd = ::getcwd(nullptr, 0);
        if (cwd == nullptr) return path;
        joined = std::string(cwd) + "/" + path;
        std::free(cwd);
    }
    std::vector<std::string_view> parts;
    std::string_view rest = joined;
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string full;
    for (const auto part : parts) (full += '/') += part;
    // "dir/" and "dir/." name the directory, not a file called "dir".
    const std::string_view last = std::string_view(joined).substr(joined.rfind('/') + 1);
    if (full.empty() || last.empty() || last == "." || last == "..") full += '/';
    return full;
}

}  // namespace tav
