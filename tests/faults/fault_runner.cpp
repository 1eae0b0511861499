#include "fault_runner.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "ui/main_window_logic.h"
#include "fake_window.h"
#include "game/big_archive.h"
#include "support/archive.h"
#include "support/platform.h"
#include "support/text.h"
#include "ui/movie_switch.h"

namespace fs = std::filesystem;

namespace tavrel::test {
namespace {

constexpr uid_t kNobody = 65534;
constexpr int kSmallVolumeKiB = 32 << 10;  // as tests/faults/volumes.sh makes the small volumes

// Thrown in the child when the case cannot run on this machine.
struct Skip {
    std::string why;
};

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

// --- The report that travels from the child to the test: tagged records.

void Put(std::string& out, char tag, const std::string& text) {
    const auto n = static_cast<std::uint32_t>(text.size());
    out += tag;
    out.append(reinterpret_cast<const char*>(&n), sizeof n);
    out += text;
}

std::string Encode(const Outcome& o) {
    std::string out;
    Put(out, 'K', o.skipped);
    for (const auto& m : o.messages) Put(out, 'M', m);
    for (const auto& m : o.rescanMessages) Put(out, 'R', m);
    for (const auto& e : o.list) Put(out, 'L', e);
    Put(out, 'A', o.label);
    if (o.killed) Put(out, 'X', "");
    for (const auto& [path, what] : o.before) Put(out, 'B', path + '\0' + what);
    for (const auto& [path, what] : o.after) Put(out, 'F', path + '\0' + what);
    const ShimCounts& c = o.counts;
    Put(out, 'S', std::to_string(c.noReplace) + " " + std::to_string(c.link) + " " + std::to_string(c.kernelCopy) +
                      " " + std::to_string(c.tmpfile));
    return out;
}

Outcome Decode(const std::string& in) {
    Outcome o;
    for (std::size_t i = 0; i + 5 <= in.size();) {
        const char tag = in[i];
        std::uint32_t n = 0;
        std::memcpy(&n, in.data() + i + 1, sizeof n);
        const std::string text = in.substr(i + 5, n);
        i += 5 + n;
        const auto split = [&](std::map<std::string, std::string>& into) {
            const auto nul = text.find('\0');
            into[text.substr(0, nul)] = text.substr(nul + 1);
        };
        switch (tag) {
            case 'K': o.skipped = text; break;
            case 'M': o.messages.push_back(text); break;
            case 'R': o.rescanMessages.push_back(text); break;
            case 'L': o.list.push_back(text); break;
            case 'A': o.label = text; break;
            case 'X': o.killed = true; break;
            case 'B': split(o.before); break;
            case 'F': split(o.after); break;
            case 'S': {
                ShimCounts& c = o.counts;
                std::sscanf(text.c_str(), "%d %d %d %d", &c.noReplace, &c.link, &c.kernelCopy, &c.tmpfile);
                break;
            }
        }
    }
    return o;
}

// --- Files.

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    // A new file, not one truncated: fusefat keeps the old bytes past
    // O_TRUNC, and a file cut short by a case would be whole there.
    std::error_code gone;
    if (fs::is_regular_file(fs::symlink_status(path, gone))) fs::remove(path, gone);
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string path = it->path().string();
        const std::string rel = path.substr(root.size() + 1);
        const auto status = it->symlink_status();
        if (fs::is_symlink(status)) {
            out[rel] = "->" + fs::read_symlink(it->path()).string();
        } else if (fs::is_regular_file(status)) {
            std::ifstream in(path, std::ios::binary);
            out[rel] = Describe({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
            if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) out[rel] += kReadOnlyMark;
        } else if (fs::is_fifo(status)) {
            out[rel] = "<fifo>";
        }
    }
    return out;
}

// --- Privileges and mounts.

void WriteProc(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
}

// A mount namespace of the child's own: its mounts vanish with it.
void PrivateMounts() {
    static bool done = false;
    if (done) return;
    if (::geteuid() == 0) {
        if (::unshare(CLONE_NEWNS) != 0) throw Skip{Errno("no mount namespace")};
    } else {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) throw Skip{Errno("not root, and no user namespace")};
        WriteProc("/proc/self/setgroups", "deny");
        WriteProc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        WriteProc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) throw Skip{Errno("mount")};
    done = true;
}

void MountTmpfs(const std::string& folder, int kib) {
    PrivateMounts();
    fs::create_directories(folder);
    const std::string options = "size=" + std::to_string(kib) + "k";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) throw Skip{Errno("tmpfs")};
}

// The folder `from` (on a volume) in the place of `folder`.
void BindTo(const std::string& from, const std::string& folder) {
    PrivateMounts();
    fs::create_directories(folder);
    if (::mount(from.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) throw Skip{Errno("bind mount")};
}

// Another program writes until the volume is full.
void FillVolume(const std::string& folder) {
    const int fd = ::open((folder + "/.filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error(Errno("filler"));
    const std::string block(1u << 20, 'f');
    for (;;) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n <= 0 && errno != EINTR) break;
    }
    ::close(fd);
}

void BindReadOnly(const std::string& folder) {
    PrivateMounts();
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        throw Skip{Errno("read-only bind mount")};
    }
}

void MakeImmutable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    const bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                    (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    const std::string why = Errno("chattr +i");
    if (fd >= 0) ::close(fd);
    if (!ok) throw Skip{why + " (needs root)"};
}

// --- Processes the set-up leaves running; all are killed when the case ends.

std::vector<pid_t> gChildren;
std::vector<std::string> gLookalikeFolders;

void KillChildren() {
    for (const pid_t pid : gChildren) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    gChildren.clear();
    for (const std::string& folder : gLookalikeFolders) fs::remove_all(folder);
    gLookalikeFolders.clear();
}

// A process shown as `commandLine`, with WINEPREFIX set when `prefix` is
// given. No program of the game runs: it is /bin/sleep under the program's
// name (which the kernel keeps as the process's name, as Wine sets it), run
// from a folder of its own.
void StartLookalike(const std::string& commandLine, const std::string& prefix) {
    std::string folder = (fs::temp_directory_path() / "tavrel-lookalike-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw std::runtime_error(Errno("mkdtemp"));
    gLookalikeFolders.push_back(folder);
    std::string program = folder + "/" + commandLine.substr(commandLine.find_last_of("/\\") + 1);
    fs::copy_file("/bin/sleep", program);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::string env = "WINEPREFIX=" + prefix;
        char* envp[] = {env.data(), nullptr};
        char* noEnv[] = {nullptr};
        std::string arg0 = commandLine, seconds = "120";
        char* argv[] = {arg0.data(), seconds.data(), nullptr};
        ::execve(program.c_str(), argv, prefix.empty() ? noEnv : envp);
        ::_exit(127);
    }
    gChildren.push_back(pid);
    // Until exec has happened the command line is still ours.
    for (int i = 0; i < 500; ++i) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
        std::string first;
        std::getline(in, first, '\0');
        if (first == commandLine) return;
        ::usleep(2000);
    }
    throw std::runtime_error("the look-alike process did not start");
}

// A live process holding `path` open and locked, as a running copy does.
void HoldLocked(const std::string& path) {
    int ready[2];
    if (::pipe(ready) != 0) throw std::runtime_error(Errno("pipe"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    gChildren.push_back(pid);
    char ok = 'n';
    ::close(ready[1]);
    if (::read(ready[0], &ok, 1) != 1 || ok != 'y') throw std::runtime_error("cannot hold " + path);
    ::close(ready[0]);
}

// A copy killed with SIGKILL once it has written its bytes, before it
// could finish.
void KilledCopy(const std::string& source, const std::string& destination, bool withoutTmpfile) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        gShim.refuseTmpfile = withoutTmpfile;
        CopyFileSafely(source, destination, [](std::uint64_t done, std::uint64_t) {
            if (done > 0) ::raise(SIGKILL);
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) throw std::runtime_error("the copy was not killed");
}

// `onVolume`: the case's folder on its volume, which becomes the game
// folder; empty for the native file system.
// The mod of a made archive unpacked, and killed with SIGKILL once it has
// written bytes, before it could finish.
void KilledUnpack(const std::string& archive, const std::string& destination) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        gShim.refuseTmpfile = true;
        std::vector<ArchiveMember> mods;
        if (!ListModMembers(archive, mods).ok() || mods.empty()) ::_exit(1);
        UnpackMember(archive, mods.front(), destination, [](std::uint64_t done, std::uint64_t) {
            if (done > 0) ::raise(SIGKILL);
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) throw std::runtime_error("the unpack was not killed");
}

// A mod of several archives merged out of a made .7z into `game`, killed
// with SIGKILL while the scratch file it is unpacked into holds bytes.
void KilledMerge(const std::string& archive, const std::string& game) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        gShim.refuseTmpfile = true;
        FakeWindow w;
        w.folder = game;
        w.archiveChoices = {ArchiveChoice{{0, 1, 2, 3, 4, 5, 6, 7}, "Merged"}};
        w.progress.onUpdate = [&w](int) {
            if (w.progress.updates.back().first > 0) ::raise(SIGKILL);
        };
        ModStore store(w, [](const std::string&) { return false; });
        store.InstallMod(archive);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) throw std::runtime_error("the merge was not killed");
}

// The folder of the made archives.
std::string MadeArchives() {
    std::string folder = TestArchives();
    if (folder.empty()) throw Skip{"no test archives: ctest makes them (tests/archives/)"};
    return folder;
}

void SetUp(const Case& c, const std::string& root, const std::string& onVolume) {
    const std::string game = root + "/" + c.game;
    fs::create_directories(game);
    fs::create_directories(root + "/outside");
    bool immutable = false;
    for (const Step& s : c.setup) immutable = immutable || s.kind == Step::Immutable;
    if (!onVolume.empty()) BindTo(onVolume, game);
    else if (c.smallVolume || immutable) MountTmpfs(game, c.smallVolume ? kSmallVolumeKiB : 65536);
    for (const Step& s : c.setup) {
        const std::string path = root + "/" + s.path;
        if (s.kind != Step::GameProcess && s.kind != Step::Activated && s.kind != Step::Gone) {
            fs::create_directories(fs::path(path).parent_path());
        }
        switch (s.kind) {
            case Step::File: WriteFile(path, BytesOf(s.text)); break;
            case Step::Folder: fs::create_directories(path); break;
            case Step::Link: fs::create_symlink(s.text, path); break;
            case Step::HardLink: fs::create_hard_link(root + "/" + s.text, path); break;
            case Step::Fifo:
                if (::mkfifo(path.c_str(), 0644) != 0) throw std::runtime_error(Errno("mkfifo"));
                break;
            case Step::ReadOnly: ::chmod(path.c_str(), 0444); break;
            case Step::Immutable: MakeImmutable(path); break;
            case Step::StaleCopy: WriteFile(path, s.text); break;
            case Step::HeldCopy:
                WriteFile(path, s.text);
                HoldLocked(path);
                break;
            case Step::KilledCopy:
            case Step::KilledCopyNamed:
                KilledCopy(root + "/" + s.text, path, s.kind == Step::KilledCopyNamed);
                break;
            case Step::Archive: fs::copy_file(MadeArchives() + "/" + s.text, path); break;
            case Step::Gone: fs::remove_all(path); break;
            case Step::Held: HoldLocked(path); break;
            case Step::KilledUnpack: KilledUnpack(root + "/" + s.text, path); break;
            case Step::KilledMerge: KilledMerge(root + "/" + s.text, path); break;
            case Step::Activated: {
                FakeWindow w;
                w.folder = game;
                w.answers.assign(16, Answer::Yes);
                ModStore(w, [](const std::string&) { return false; }).ActivateMod(s.text);
                break;
            }
            case Step::GameProcess: {
                std::string commandLine = s.text;
                if (const auto at = commandLine.find("{root}"); at != std::string::npos) {
                    commandLine.replace(at, 6, root);
                }
                StartLookalike(commandLine, s.path.empty() ? "" : root + "/" + s.path);
                break;
            }
        }
    }
    if (c.readOnlyBind) BindReadOnly(game);
}

// --- The action, against the scripted window.

void Act(const Case& c, const std::string& root, FakeWindow& w, ModStore& store, MainWindowLogic& logic) {
    const std::string game = root + "/" + c.game;
    if (c.action == Case::Start) {
        w.settings = {{"path", game}, {"zhmode", "0"}};
        logic.Form_Load();
        return;
    }
    w.folder = game;
    store.UpdateList(true);
    for (const std::string& path : c.vanish) fs::remove(root + "/" + path);
    // The entry as spelled, else in another letter case (a volume that
    // gives names back in lower case).
    const auto select = [&] {
        for (const bool exact : {true, false}) {
            for (std::size_t i = 0; i < w.list.size() && w.selected < 0; ++i) {
                if (exact ? w.list[i] == c.argument : FoldCase(w.list[i]) == FoldCase(c.argument)) {
                    w.selected = static_cast<int>(i);
                }
            }
        }
    };
    switch (c.action) {
        case Case::Start:
        case Case::Scan: break;
        case Case::Activate:
            select();
            store.lblActivate_Click();
            break;
        case Case::DeactivateAll: store.lblDeactivate_Click(); break;
        case Case::Delete:
            select();
            store.lblDelete_Click();
            break;
        case Case::Install:
            w.fileChoices = {c.argument.front() == '/' ? c.argument : root + "/" + c.argument};
            w.archiveChoices = {ArchiveChoice{{0, 1, 2, 3, 4, 5, 6, 7}, "Pack"}};  // every archive of a mod
            store.lblInstallMod_Click();
            break;
        case Case::DisableMovies: ChangeStartUpFiles(w, game, true); break;
        case Case::AddOnOn:
        case Case::AddOnOff: {
            const std::size_t slash = c.argument.find('/');
            store.SwitchAddOn(c.argument.substr(0, slash), c.argument.substr(slash + 1), c.action == Case::AddOnOn);
            break;
        }
    }
}

Outcome CarryOut(const Case& c, const std::string& root, const std::string& onVolume) {
    Outcome o;
    o.root = root;
    try {
        SetUp(c, root, onVolume);
        o.before = Snapshot(root);
        FakeWindow w;
        w.answers.assign(c.answers.begin(), c.answers.end());
        w.progress.cancelAt = c.cancelAtUpdate;
        const std::string game = root + "/" + c.game;
        w.progress.onUpdate = [&](int update) {
            if (update == c.fillAtUpdate) FillVolume(game);
        };
        ModStore store(w);
        MainWindowLogic logic(w, store, FakeEnv({}));
        w.onFolderChange = [&](bool typed) { logic.txtGeneralsFolder_Change(typed); };

        if (c.asNobody) {
            if (::geteuid() != 0) throw Skip{"running as nobody needs root"};
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) throw Skip{Errno("setuid nobody")};
        }
        if (c.fileSizeLimit > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(c.fileSizeLimit), static_cast<rlim_t>(c.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (c.shim.killAtChange > 0) {
            // Cut off at a change of a name, in a process of its own; what
            // it told the user dies with it, and the rescan below is the
            // next start.
            const pid_t pid = ::fork();
            if (pid == 0) {
                gShim = c.shim;
                Act(c, root, w, store, logic);
                ::_exit(0);
            }
            w.answers.clear();  // they were the child's
            int status = 0;
            ::waitpid(pid, &status, 0);
            o.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            // The next start's first work: what a killed copy (or look at
            // the folder's rights) left in the game folder goes.
            if (o.killed) RemoveStaleCopies(game);
            if (!o.killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
                o.messages.push_back("<the action ended with status " + std::to_string(status) + ">");
            }
        } else {
            gShim = c.shim;
            Act(c, root, w, store, logic);
            o.counts = gShimCounts;
            gShim = {};
        }
        if (c.fillAtUpdate >= 0) fs::remove(game + "/.filler");  // the other program is done
        for (const Shown& s : w.shown) o.messages.push_back(s.text);
        if (!w.answers.empty()) o.messages.push_back("<" + std::to_string(w.answers.size()) + " answers left over>");

        // Afterwards the program must still work and show the truth.
        w.shown.clear();
        w.answers.assign(8, Answer::Ok);
        w.folder = root + "/" + c.game;
        store.UpdateList(false);
        for (const Shown& s : w.shown) o.rescanMessages.push_back(s.text);
        o.list = w.list;
        o.label = w.active;
        o.after = Snapshot(root);
    } catch (const Skip& skip) {
        o.skipped = skip.why;
    } catch (const std::exception& e) {
        o.messages.push_back(std::string("<set-up failed: ") + e.what() + ">");
    }
    KillChildren();
    return o;
}

}  // namespace

std::string Mod(std::size_t size) { return "<mod of " + std::to_string(size) + " bytes>"; }

std::string Made(const std::string& name) { return "<made " + name + ">"; }

std::string BytesOf(const std::string& text) {
    if (text.starts_with("<made ") && text.ends_with(">")) {
        std::ifstream in(MadeArchives() + "/" + text.substr(6, text.size() - 7), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t size = 0;
    if (std::sscanf(text.c_str(), "<mod of %zu bytes>", &size) != 1 || text != Mod(size)) return text;
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i * 7 + i / 4093) % 251);
    return out;
}

std::string Describe(const std::string& bytes) {
    if (bytes.size() <= 48) return "=" + bytes;
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return "#" + std::to_string(hash) + ":" + std::to_string(bytes.size());
}

const std::vector<Volume>& Volumes() {
    constexpr unsigned kFuse = kModes | kImmutable | kTmpfile | kAnyName | kOneFileSystem;
    constexpr unsigned kFat = kFuse | kLinks | kHardLinks | kCaseSensitive;
    static const std::vector<Volume> volumes = {
        {"native"},
        {"ntfs-3g", kFuse},
        {"lowntfs-3g", kFuse | kCaseSensitive | kNamesAsGiven, true},  // -o ignore_case
        {"exfat", kFat},
        {"fat", kFat},
    };
    return volumes;
}

std::string CannotHold(const Volume& volume, unsigned needs) {
    static const std::pair<Need, const char*> kWhat[] = {
        {kLinks, "symbolic links"},
        {kHardLinks, "hard links"},
        {kCaseSensitive, "two names that differ only by letter case"},
        {kModes, "a file's write bit"},
        {kImmutable, "files that cannot be renamed (chattr +i)"},
        {kTmpfile, "files without a name (O_TMPFILE)"},
        {kAnyName, "names that Windows forbids or that are not UTF-8"},
        {kOneFileSystem, "the game folder and the folder beside it on one file system"},
        {kNamesAsGiven, "names listed as they were made"},
    };
    std::string missing;
    for (const auto& [need, what] : kWhat) {
        if (needs & volume.lacks & need) missing += (missing.empty() ? "" : ", ") + std::string(what);
    }
    return missing.empty() ? "" : volume.name + " has no " + missing;
}

Outcome RunCase(const Case& c, const Volume& volume, const std::string& root, unsigned seconds) {
    Outcome failed;
    failed.root = root;
    if (std::string why = CannotHold(volume, c.needs); !why.empty()) {
        failed.skipped = why;
        return failed;
    }
    // The case's own folder on its volume, and the small volume for this
    // case alone while it runs.
    std::string onVolume;
    int smallLock = -1;  // closed at the end, which lets the next case have the volume
    if (volume.name != "native") {
        const char* volumes = std::getenv("TAVREL_FAULT_VOLUMES");
        if (!volumes) {
            failed.skipped = "no volumes: ctest mounts them (tests/faults/volumes.sh)";
            return failed;
        }
        const std::string name = volume.name + (c.smallVolume ? "-small" : "");
        const std::string mount = std::string(volumes) + "/" + name;
        std::ifstream skip(std::string(volumes) + "/" + volume.name + ".skip");
        if (std::getline(skip, failed.skipped)) return failed;
        struct stat here{}, above{};
        if (::stat(mount.c_str(), &here) != 0 || ::stat((mount + "/..").c_str(), &above) != 0 ||
            here.st_dev == above.st_dev) {
            failed.skipped = mount + " is not mounted";
            return failed;
        }
        if (c.smallVolume) {
            smallLock = ::open((mount + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            if (smallLock < 0 || ::flock(smallLock, LOCK_EX) != 0) throw std::runtime_error(Errno(mount));
        }
        onVolume = mount + "/case-XXXXXX";
        if (!::mkdtemp(onVolume.data())) throw std::runtime_error(Errno("mkdtemp on " + mount));
    }

    int channel[2];
    if (::pipe(channel) != 0) throw std::runtime_error(Errno("pipe"));
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        ::alarm(seconds);
        const std::string report = Encode(CarryOut(c, root, onVolume));
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(channel[1], report.data() + done, report.size() - done);
            if (n <= 0) ::_exit(2);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[65536];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!onVolume.empty()) {
        std::error_code ignored;
        fs::remove_all(onVolume, ignored);
    }
    if (smallLock >= 0) ::close(smallLock);
    Outcome o = Decode(report);
    o.root = root;
    if (WIFSIGNALED(status)) {
        o.messages.push_back(WTERMSIG(status) == SIGALRM ? "<frozen: killed after " + std::to_string(seconds) + " s>"
                                                         : "<died of signal " + std::to_string(WTERMSIG(status)) + ">");
    } else if (WEXITSTATUS(status) != 0) {
        o.messages.push_back("<exited with " + std::to_string(WEXITSTATUS(status)) + ">");
    }
    return o;
}

}  // namespace tavrel::test
