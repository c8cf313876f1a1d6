#include "platform/base/KvFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace tav {

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  bytes.clear();
  struct stat st{};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = "cannot read " + path + ": " + std::strerror(errno);
      ::close(fd);
      return false;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

static bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool WriteFileAtomicWith(const std::string& path, const std::function<bool(const ChunkSink&)>& produce,
                         std::string* error) {
  static std::atomic<unsigned> counter{0};
  const std::string temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = "cannot create " + temp + ": " + std::strerror(errno);
    return false;
  }
  bool ok = true;
  std::string reason;
  const ChunkSink sink = [&](std::string_view chunk) {
    if (ok && !WriteAll(fd, chunk)) {
      ok = false;
      reason = std::strerror(errno);
    }
    return ok;
  };
  if (!produce(sink) && ok) {
    ok = false;
    reason = "write abandoned";
  }
  // Keep the permissions of the file being replaced.
  struct stat old{};
  if (ok && ::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (!ok) {
    ::unlink(temp.c_str());
    if (error) *error = "cannot write " + path + ": " + reason;
  }
  return ok;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  return WriteFileAtomicWith(path, [&](const ChunkSink& sink) { return sink(bytes); }, error);
}

bool FileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return IsDirectory(path);
}

std::string ToNativePath(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string JoinPath(std::string_view folder, std::string_view relative) {
  std::string out = ToNativePath(folder);
  std::string rel = ToNativePath(relative);
  while (!rel.empty() && rel.front() == '/') rel.erase(0, 1);
  if (out.empty()) return rel;
  if (out.back() != '/') out += '/';
  return out + rel;
}

std::string FileNameOf(std::string_view path) {
  const size_t pos = path.find_last_of("/\\");
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string ExtensionOf(std::string_view path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace tav
