#include "settings/FileAccess.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace relaydeck {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 32;
constexpr int kMaxNameAttempts = 16;
/// A temporary file older than this belongs to a save that was killed.
constexpr std::chrono::minutes kAbandonedAfter{1};

std::string reasonOf(std::errc error) {
    return std::make_error_code(error).message();
}

/// Follows @p file's symbolic links to the file they end in (which may not exist yet).
fs::path resolveLinks(fs::path file) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(file, error))) return file;
        const fs::path target = fs::read_symlink(file, error);
        if (error) throw FileAccessError(error.message());
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    throw FileAccessError(reasonOf(std::errc::too_many_symbolic_link_levels));
}

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

std::string randomSuffix(std::mt19937_64& random) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint64_t bits = random();
    std::string suffix;
    for (int i = 0; i < 12; ++i, bits >>= 4) suffix += kDigits[bits & 0xF];
    return suffix;
}

constexpr const char* kTemporaryInfix = ".saving-";

/// The temporary file's name beside @p file, in the system's own characters.
fs::path temporaryName(const fs::path& file, const std::string& suffix) {
    fs::path name = file.filename();
    name += kTemporaryInfix;
    name += suffix;
    return name;
}

void removeAbandonedSaves(const fs::path& file) {
    const fs::path::string_type prefix = temporaryName(file, "").native();
    const auto cutoff = fs::file_time_type::clock::now() - kAbandonedAfter;
    std::error_code error;
    for (fs::directory_iterator it(folderOf(file), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code failed;
        if (it->path().filename().native().rfind(prefix, 0) != 0 || !it->is_regular_file(failed)) {
            continue;
        }
        const fs::file_time_type written = fs::last_write_time(it->path(), failed);
        if (!failed && written < cutoff) fs::remove(it->path(), failed);
    }
}

/// The file a save writes: created exclusively beside the target, removed unless the save
/// gets as far as renaming it.
class TemporaryFile;

#ifdef _WIN32

std::error_code lastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

[[noreturn]] void failWith(std::error_code error) {
    throw FileAccessError(error.message());
}

/// Access rights are checked by ReplaceFileW itself.
std::error_code writeAccessError(const fs::path&) {
    return {};
}

bool isReadOnly(const fs::path& file, const fs::file_status&) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& target) {
        std::mt19937_64 random{std::random_device{}()};
        for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
            path_ = folderOf(target) / temporaryName(target, randomSuffix(random));
            handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE) return;
            if (GetLastError() != ERROR_FILE_EXISTS) failWith(lastError());
        }
        failWith(std::make_error_code(std::errc::file_exists));
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }

    std::error_code write(std::string_view bytes) {
        while (!bytes.empty()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr)) return lastError();
            bytes.remove_prefix(written);
        }
        return {};
    }

    void keepPermissionsOf(const fs::path& target) {
        // ReplaceFileW carries the replaced file's attributes and access rights over; where
        // it cannot be used, MoveFileExW carries these attributes at least.
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kKept) == 0) return;
        FILE_BASIC_INFO info{};  // times left at zero stay as they are
        info.FileAttributes = attributes & kKept;
        SetFileInformationByHandle(handle_, FileBasicInfo, &info, sizeof info);
    }

    void flushAndClose() {
        if (!FlushFileBuffers(handle_)) failWith(lastError());
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        if (!CloseHandle(handle)) failWith(lastError());
    }

    void renameOver(const fs::path& target, bool targetExists) {
        if (targetExists && ReplaceFileW(target.c_str(), path_.c_str(), nullptr,
                                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            path_.clear();
            return;
        }
        if (!MoveFileExW(path_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            failWith(lastError());
        }
        path_.clear();
    }

  private:
    fs::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

/// MOVEFILE_WRITE_THROUGH has already put the rename on disk.
void flushFolder(const fs::path&) {}

#else

std::error_code lastError() {
    return {errno, std::generic_category()};
}

[[noreturn]] void failWith(std::error_code error) {
    throw FileAccessError(error.message());
}

/// Windows refuses to write a file with the read-only attribute; here that is a file
/// nobody may write, whoever runs the program.
/// Renaming over a file needs only the folder's permission: a file this user may not
/// write (someone else's) must not be replaced all the same.
std::error_code writeAccessError(const fs::path& file) {
    return ::access(file.c_str(), W_OK) == 0 ? std::error_code() : lastError();
}

bool isReadOnly(const fs::path&, const fs::file_status& status) {
    constexpr fs::perms kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & kWrite) == fs::perms::none;
}

class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& target) {
        std::mt19937_64 random{std::random_device{}()};
        for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
            path_ = folderOf(target) / temporaryName(target, randomSuffix(random));
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) return;
            if (errno != EEXIST) {
                const std::error_code error = lastError();
                path_.clear();
                failWith(error);
            }
        }
        path_.clear();
        failWith(std::make_error_code(std::errc::file_exists));
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    std::error_code write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                return lastError();
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return {};
    }

    void keepPermissionsOf(const fs::path& target) {
        struct stat info {};
        if (::stat(target.c_str(), &info) != 0) return;
        // The owner can only be kept by a privileged program; the mode always.
        [[maybe_unused]] const int ignored = ::fchown(fd_, info.st_uid, info.st_gid);
        if (::fchmod(fd_, info.st_mode & 07777) != 0) failWith(lastError());
    }

    void flushAndClose() {
        if (::fsync(fd_) != 0) failWith(lastError());
        if (::close(std::exchange(fd_, -1)) != 0) failWith(lastError());
    }

    void renameOver(const fs::path& target, bool) {
        if (::rename(path_.c_str(), target.c_str()) != 0) failWith(lastError());
        path_.clear();
    }

  private:
    fs::path path_;
    int fd_ = -1;
};

void flushFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The file is already renamed: a folder that cannot be flushed is no failed save.
    [[maybe_unused]] const int ignored = ::fsync(fd);
    ::close(fd);
}

#endif

}  // namespace

std::optional<std::string> readFileBytes(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) return std::nullopt;
    if (error) throw FileAccessError(error.message());
    if (fs::is_directory(status)) throw FileAccessError(reasonOf(std::errc::is_a_directory));
    if (!fs::is_regular_file(status)) throw FileAccessError("not a regular file");
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw FileAccessError(errno != 0 ? lastError().message() : "the file could not be read");
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw FileAccessError("the file could not be read");
    return bytes;
}

std::string temporaryNamePrefix(const fs::path& file) {
    return file.filename().string() + kTemporaryInfix;
}

void replaceFileContents(const fs::path& file, std::string_view bytes,
                         const WriteInterceptor& intercept) {
    const fs::path target = resolveLinks(file);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    const bool exists = status.type() != fs::file_type::not_found;
    if (exists) {
        if (error) throw FileAccessError(error.message());
        if (fs::is_directory(status)) throw FileAccessError(reasonOf(std::errc::is_a_directory));
        if (!fs::is_regular_file(status)) throw FileAccessError("not a regular file");
        if (isReadOnly(target, status)) throw FileAccessError("the file is read-only");
        if (const std::error_code denied = writeAccessError(target)) failWith(denied);
    }
    removeAbandonedSaves(target);

    TemporaryFile temporary(target);
    if (exists) temporary.keepPermissionsOf(target);
    const auto write = [&temporary](std::string_view part) { return temporary.write(part); };
    if (const std::error_code failed = intercept ? intercept(bytes, write) : write(bytes)) {
        failWith(failed);
    }
    temporary.flushAndClose();
    temporary.renameOver(target, exists);
    flushFolder(folderOf(target));
}

bool isWritableFolder(const fs::path& folder) {
#ifdef _WIN32
    // Access rights on Windows are too involved to predict: try it.
    std::mt19937_64 random{std::random_device{}()};
    const fs::path probe = folder / ("relaydeck-probe-" + randomSuffix(random));
    const HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    DeleteFileW(probe.c_str());
    return true;
#else
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

}  // namespace relaydeck
