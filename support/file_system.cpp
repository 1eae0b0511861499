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

bool FolderExists(const std::string& path) {
    return CharCount(path) >= 2 && IsFolder(path);
}

}  // namespace tavrel
