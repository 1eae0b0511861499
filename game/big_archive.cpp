#include "game/big_archive.h"

#include <algorithm>
#include <cstring>

#include "game/game_paths.h"

namespace tavrel {
namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntryFixed = 8;  // offset and size
constexpr std::size_t kBlock = 1u << 16;

std::uint32_t BigEndian(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void PutBigEndian(std::string& out, std::uint64_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutLittleEndian(std::string& out, std::uint64_t value) {
    for (int shift = 0; shift <= 24; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// The bytes of a file read in blocks, never past `limit`.
class Buffered {
public:
    Buffered(const ReadBytes& read, std::uint64_t limit) : read_(read), limit_(limit) {}

    // The next byte; false at the end of the file or on a failure.
    bool next(unsigned char& c) {
        if (at_ == buffer_.size() && !fill()) return false;
        c = static_cast<unsigned char>(buffer_[at_++]);
        return true;
    }

    bool take(unsigned char* out, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!next(out[i])) return false;
        }
        return true;
    }

    const Status& failed() const { return failed_; }

private:
    bool fill() {
        if (consumed_ >= limit_ || !failed_.ok()) return false;
        buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, limit_ - consumed_)));
        const std::int64_t n = read_(buffer_.data(), buffer_.size(), failed_);
        if (n <= 0) {
            if (n < 0 && failed_.ok()) failed_ = FailureStatus(Failure::NoSuchFile);
            buffer_.clear();
            at_ = 0;
            return false;
        }
        buffer_.resize(static_cast<std::size_t>(n));
        consumed_ += static_cast<std::uint64_t>(n);
        at_ = 0;
        return true;
    }

    const ReadBytes& read_;
    std::uint64_t limit_;
    std::uint64_t consumed_ = 0;
    std::string buffer_;
    std::size_t at_ = 0;
    Status failed_ = Status::Ok();
};

}  // namespace

Status ReadBigTable(const ReadBytes& read, std::uint64_t fileSize, std::vector<BigEntry>& out) {
    out.clear();
    Buffered in(read, fileSize);
    const auto damaged = [&]() {
        out.clear();
        return in.failed().ok() ? Status::Error(kBigTableDamaged) : in.failed();
    };
    unsigned char header[kHeaderSize];
    if (!in.take(header, sizeof header)) return in.failed().ok() ? Status::Error(kNotBigArchive) : in.failed();
    if (std::memcmp(header, "BIGF", 4) != 0) return Status::Error(kNotBigArchive);
    const std::uint64_t count = BigEndian(header + 8);
    // Each entry takes at least its two numbers and a NUL.
    if (count > (fileSize - kHeaderSize) / (kEntryFixed + 1)) return damaged();
    out.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        unsigned char numbers[kEntryFixed];
        if (!in.take(numbers, sizeof numbers)) return damaged();
        BigEntry entry;
        entry.offset = BigEndian(numbers);
        entry.size = BigEndian(numbers + 4);
        if (entry.offset > fileSize || entry.size > fileSize - entry.offset) return damaged();
        unsigned char c = 0;
        while (in.next(c) && c != 0) {
            if (entry.path.size() == kBigPathLimit) return damaged();  // the game's buffer would overrun
            entry.path += static_cast<char>(c);
        }
        if (c != 0) return damaged();  // the file ended inside the path
        out.push_back(std::move(entry));
    }
    return Status::Ok();
}

Status ReadBigFile(const std::string& path, std::vector<BigEntry>& out) {
    out.clear();
    InputFile file;
    if (Status opened = file.open(path); !opened.ok()) return opened;
    return ReadBigTable(file.reader(), file.size(), out);
}

std::uint64_t BigTableSize(const std::vector<BigWriteEntry>& entries) {
    std::uint64_t size = kHeaderSize;
    for (const BigWriteEntry& e : entries) size += kEntryFixed + e.path.size() + 1;
    return size;
}

Status CheckBigArchive(const std::vector<BigWriteEntry>& entries, std::uint64_t dataSize) {
    for (const BigWriteEntry& e : entries) {
        if (e.path.size() > kBigPathLimit) {
            return Status::Error("the path " + e.path + " is longer than " + std::to_string(kBigPathLimit) +
                                 " bytes, which the game cannot read");
        }
        if (e.path.find('\0') != std::string::npos) return Status::Error(kBigTableDamaged);
    }
    if (BigTableSize(entries) + dataSize > kBigSizeLimit) return Status::Error(kBigTooLarge);
    return Status::Ok();
}

Status WriteBigFile(const std::string& destination, const std::vector<BigWriteEntry>& entries,
                    std::uint64_t dataSize, const ByteProducer& data, const CopyProgress& progress) {
    if (Status fits = CheckBigArchive(entries, dataSize); !fits.ok()) return fits;
    const std::uint64_t tableSize = BigTableSize(entries);
    const std::uint64_t total = tableSize + dataSize;
    for (const BigWriteEntry& e : entries) {
        if (e.offset > dataSize || e.size > dataSize - e.offset) return Status::Error(kBigTableDamaged);
    }
    return WriteFileSafely(destination, total, [&](const ByteSink& sink) {
        std::string table = "BIGF";
        table.reserve(static_cast<std::size_t>(tableSize));
        PutLittleEndian(table, total);
        PutBigEndian(table, entries.size());
        PutBigEndian(table, tableSize);
        for (const BigWriteEntry& e : entries) {
            PutBigEndian(table, tableSize + e.offset);
            PutBigEndian(table, e.size);
            table += e.path;
            table += '\0';
        }
        if (Status taken = sink(table); !taken.ok()) return taken;
        std::uint64_t written = 0;
        const Status produced = data([&](std::string_view bytes) {
            if (bytes.size() > dataSize - written) return Status::Error(kBigTableDamaged);
            written += bytes.size();
            return sink(bytes);
        });
        if (!produced.ok()) return produced;
        return written == dataSize ? Status::Ok() : Status::Error(kBigTableDamaged);
    }, progress);
}

Status ListModMembers(const std::string& path, std::vector<ArchiveMember>& out) {
    const Status listed = ListArchiveFiles(path, out);
    std::erase_if(out, [](const ArchiveMember& m) { return !IsModName(m.name); });
    return listed;
}

}  // namespace tavrel
