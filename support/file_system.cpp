#include "support/file_system.h"

#include <stdexcept>

#include "support/text.h"

namespace tavrel {

void FileDelete(const std::string& path) { RemoveFile(path, true); }

bool FileExists(const std::string& path) {
    return !path.empty() && IsPlainFile(path);
}

void FileWriteText(const std::string& text, const std::string& path) {
    const Status status = WriteFileBytes(path, text);
    if (!status.ok()) throw std::runtime_error(status.text());
}

bool FileCopyChecked(const std::string& source, const std::string& destination,
                     const CopyProgress& progress) {
    return CopyFileSafely(source, destination, progress).ok();
}

Status ReadSmallFile(const std::string& path, std::size_t limit, std::string& out) {
    out.clear();
    InputFile in;
    if (Status opened = in.open(path); !opened.ok()) return opened;
    if (in.size() > limit) return Status::Error(FileGetName(path) + ": the file is larger than " +
                                                std::to_string(limit) + " bytes");
    out.resize(static_cast<std::size_t>(in.size()));
    std::size_t done = 0;
    while (done < out.size()) {
        const std::int64_t got = in.read(out.data() + done, out.size() - done);
        if (got < 0) return in.error();
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    out.resize(done);
    return Status::Ok();
}

std::optional<std::uint64_t> HashSmallFile(const std::string& path, std::size_t limit) {
    std::string bytes;
    if (!ReadSmallFile(path, limit, bytes).ok()) return std::nullopt;
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return hash;
}

bool FolderExists(const std::string& path) {
    return CharCount(path) >= 2 && IsFolder(path);
}

}  // namespace tavrel
