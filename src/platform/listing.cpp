#include "platform/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "platform/fstype.h"

namespace zelvar {

namespace {

bool isBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

FileTime fileTime(const struct timespec& t) {
    return {static_cast<std::int64_t>(t.tv_sec), static_cast<std::int64_t>(t.tv_nsec)};
}

bool civilTime(time_t seconds, DateTime& out) {
    struct tm tm;
    if (!localtime_r(&seconds, &tm)) return false;
    out = DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return true;
}

// What one entry is, read relative to the open folder; small, since a big folder keeps one for
// every entry while its entries are inspected on several threads.
struct Inspected {
    bool gone = false;         // it vanished since the folder was read
    bool readable = false;     // the facts below hold
    bool isDir = false;        // what it counts as: a working link's target, else the entry itself
    bool regular = false;      // what it counts as is a regular file
    bool elsewhere = false;    // a link, or a file with several hard links
    EntryId id;                // the entry itself, a link not followed
    struct timespec mtime {};  // of what it counts as
    std::int64_t size = 0;     // of what it counts as
};

Inspected inspect(int folderFd, const char* name, unsigned char type) {
    Inspected facts;
    struct stat self;
    if (fstatat(folderFd, name, &self, AT_SYMLINK_NOFOLLOW) != 0) {
        facts.gone = errno == ENOENT;
        facts.isDir = type == DT_DIR;
        return facts;
    }
    facts.readable = true;
    facts.id = EntryId{self.st_dev, self.st_ino};
    facts.elsewhere = S_ISLNK(self.st_mode) || (!S_ISDIR(self.st_mode) && self.st_nlink > 1);
    const struct stat* dated = &self;
    // A dangling or looping link stays what it is: a file with its own date.
    struct stat target;
    if (S_ISLNK(self.st_mode) && fstatat(folderFd, name, &target, 0) == 0) dated = &target;
    facts.isDir = S_ISDIR(dated->st_mode);
    facts.regular = S_ISREG(dated->st_mode);
    facts.mtime = dated->st_mtim;
    facts.size = dated->st_size;
    return facts;
}

// The kind as the folder itself tells it, when it does so without a stat.
std::optional<bool> folderByType(unsigned char type) {
    if (type == DT_UNKNOWN || type == DT_LNK) return std::nullopt;
    return type == DT_DIR;
}

bool kindWanted(File optFile, bool isDir) {
    switch (optFile) {
        case File::Slozky: return isDir;
        case File::Oboje: return true;
        case File::Soubory: break;
    }
    return !isDir;
}

ListedEntry listedEntry(const char* name, unsigned char type, bool isDir, const Inspected& facts, EntryId fallbackId) {
    ListedEntry entry;
    entry.name = name;
    entry.isDir = isDir;
    entry.regular = type == DT_REG;
    entry.id = fallbackId;
    if (facts.readable) {
        entry.regular = facts.regular;
        entry.id = facts.id;
        entry.size = facts.size;
        if (civilTime(facts.mtime.tv_sec, entry.date))
            entry.mtime = fileTime(facts.mtime);
        else
            entry.date = DateTime{};
    }
    return entry;
}

// What was found out about an entry before it is taken in, on another thread.
struct Prepared {
    bool done = false;     // `matched` holds, and `facts` too for a matching entry that needs them
    bool matched = false;  // its name passes the filter
    Inspected facts;
};

// Takes the entries in folder order, one at a time, into the listing: every name into the table of
// all names, the matching entries of the wanted kind into the entries, up to the limit.
class Collector {
public:
    Collector(int fd, dev_t folderDev, const NameMask& mask, File optFile, std::size_t limit, bool dates, Listing& out)
        : fd_(fd), folderDev_(folderDev), mask_(mask), optFile_(optFile), limit_(limit), dates_(dates), out_(out) {}

    bool matches(const char* name) const { return mask_.matchesEverything() || mask_.matches(fromUtf8(name)); }
    // Whether taking the entry in needs its facts from the file system.
    bool needsFacts(unsigned char type) const { return dates_ || !folderByType(type); }
    // Whether the entry, with these facts, is one that counts against the limit.
    bool wanted(unsigned char type, const Inspected& facts) const {
        return !facts.gone && kindWanted(optFile_, folderByType(type).value_or(facts.isDir));
    }

    // `known` holds what was found out beforehand; whatever it lacks is read now.
    void take(const char* name, unsigned char type, ino_t ino, const Prepared* known = nullptr) {
        NameTable& all = out_.allNames;
        // Every name counts for the existence test; the folder's d_ino serves where no stat is made.
        all.add(name, EntryId{folderDev_, ino});
        if (!collecting_) return;
        if (!(known && known->done ? known->matched : matches(name))) return;
        if (type == DT_LNK) out_.changesElsewhere = true;

        Inspected facts;
        bool inspected = false;
        const auto read = [&] {
            facts = known && known->done ? known->facts : inspect(fd_, name, type);
            inspected = true;
        };
        std::optional<bool> isDir = folderByType(type);
        if (!isDir) {
            read();
            isDir = facts.isDir;
        }
        if (!facts.gone && !kindWanted(optFile_, *isDir)) return;
        if (!facts.gone && out_.entries.size() >= limit_) {
            out_.truncated = true;
            collecting_ = false;
            return;
        }
        if (!inspected && dates_) read();
        if (facts.readable && facts.elsewhere) out_.changesElsewhere = true;
        if (facts.gone) {
            all.dropLast();
            return;
        }
        out_.entries.push_back(listedEntry(name, type, *isDir, facts, all.lastEntry()));
        all.lastEntry() = out_.entries.back().id;
    }

    int fd() const { return fd_; }
    std::size_t limit() const { return limit_; }

private:
    int fd_;
    dev_t folderDev_;
    const NameMask& mask_;
    File optFile_;
    std::size_t limit_;
    bool dates_;
    Listing& out_;
    bool collecting_ = true;
};

constexpr unsigned kMaxThreads = 8;
unsigned threadSetting = 0;           // 0: one per core
std::size_t entriesPerThread = 1024;  // fewer are not worth a thread's start

// How many threads inspect `entries` entries: one per core, each with at least entriesPerThread.
unsigned threadsFor(std::size_t entries) { return listingThreadsFor(entries, entriesPerThread); }

}  // namespace

unsigned listingThreadsFor(std::size_t entries, std::size_t perThread) {
    const unsigned cores = threadSetting != 0 ? threadSetting : std::max(1u, std::thread::hardware_concurrency());
    const std::size_t worth = entries / std::max<std::size_t>(1, perThread);
    return static_cast<unsigned>(std::min<std::size_t>({cores, kMaxThreads, std::max<std::size_t>(1, worth)}));
}

namespace {

// The next entry of the folder other than "." and "..", or null at its end; a failure to read on
// is noted in `out`.
const dirent* nextEntry(DIR* dir, Listing& out) {
    for (;;) {
        errno = 0;
        const dirent* d = readdir(dir);
        if (d == nullptr) {
            if (errno != 0) out.failure = Failure{errno};
            return nullptr;
        }
        const char* name = d->d_name;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))) return d;
    }
}

// Reads the open folder to its end, taking each entry in as it comes.
void readOnePass(DIR* dir, Collector& collector, Listing& out) {
    while (const dirent* d = nextEntry(dir, out)) collector.take(d->d_name, d->d_type, d->d_ino);
}

// The same on several threads, for a folder whose entries all need a stat. This thread reads the
// names in batches; the other threads filter and inspect each batch as soon as it is read, and this
// one joins them when the folder is read. Then the entries are taken in folder order as readOnePass
// takes them. No batch is handed out once the entries found wanted reach the limit, so a folder far
// bigger than the limit is not inspected to its end; whatever was not inspected is inspected while
// it is taken.
class ThreadedRead {
public:
    explicit ThreadedRead(Collector& collector)
        : collector_(collector), batchSize_(std::clamp<std::size_t>(entriesPerThread / 4, 1, 256)) {}

    void run(DIR* dir, unsigned threads, Listing& out) {
        {
            Helpers helpers{{}, *this};
            helpers.threads.reserve(threads - 1);
            try {
                for (unsigned t = 1; t < threads; ++t) helpers.threads.emplace_back([this] { work(); });
            } catch (const std::system_error&) {}
            readNames(dir, out);
            readingDone();
            work();
        }
        for (const auto& b : batches_)
            for (std::size_t k = 0; k < b->raw.size(); ++k)
                collector_.take(b->name(k), b->raw[k].type, b->raw[k].ino, &b->prepared[k]);
    }

private:
    struct Batch {
        struct Raw {
            std::uint32_t name;  // where its name starts in `names`
            unsigned char type;
            ino_t ino;
        };
        std::vector<Raw> raw;
        std::vector<Prepared> prepared;
        std::string names;  // the batch's names, each with its terminating zero
        const char* name(std::size_t k) const { return names.data() + raw[k].name; }
    };
    // The helpers are joined on every way out, also when reading throws; a helper that cannot be
    // started leaves its share to the others.
    struct Helpers {
        std::vector<std::thread> threads;
        ThreadedRead& read;
        ~Helpers() {
            read.readingDone();
            for (std::thread& t : threads) t.join();
        }
    };

    void readNames(DIR* dir, Listing& out) {
        std::unique_ptr<Batch> batch;
        while (const dirent* d = nextEntry(dir, out)) {
            if (!batch) {
                batch = std::make_unique<Batch>();
                batch->raw.reserve(batchSize_);
                batch->names.reserve(batchSize_ * 16);
            }
            batch->raw.push_back({static_cast<std::uint32_t>(batch->names.size()), d->d_type, d->d_ino});
            batch->names.append(d->d_name, std::strlen(d->d_name) + 1);
            if (batch->raw.size() == batchSize_) handOver(std::move(batch));
        }
        if (batch) handOver(std::move(batch));
    }

    void handOver(std::unique_ptr<Batch> batch) {
        batch->prepared.resize(batch->raw.size());
        {
            const std::lock_guard hold(lock_);
            batches_.push_back(std::move(batch));
        }
        readMore_.notify_one();
    }

    void readingDone() {
        {
            const std::lock_guard hold(lock_);
            allRead_ = true;
        }
        readMore_.notify_all();
    }

    // Takes batches until every batch is taken or enough entries are found.
    void work() {
        for (;;) {
            Batch* batch;
            {
                std::unique_lock hold(lock_);
                readMore_.wait(hold, [&] { return handedOut_ < batches_.size() || allRead_; });
                if (handedOut_ == batches_.size() || wanted_ >= collector_.limit()) return;
                batch = batches_[handedOut_++].get();
            }
            const std::size_t found = prepare(*batch);
            const std::lock_guard hold(lock_);
            wanted_ += found;
        }
    }

    // Filters and inspects the entries of a batch; how many of them are wanted.
    std::size_t prepare(Batch& batch) const {
        std::size_t found = 0;
        for (std::size_t k = 0; k < batch.raw.size(); ++k) {
            Prepared& p = batch.prepared[k];
            p.matched = collector_.matches(batch.name(k));
            if (p.matched && collector_.needsFacts(batch.raw[k].type))
                p.facts = inspect(collector_.fd(), batch.name(k), batch.raw[k].type);
            p.done = true;
            if (p.matched && collector_.wanted(batch.raw[k].type, p.facts)) ++found;
        }
        return found;
    }

    Collector& collector_;
    const std::size_t batchSize_;
    std::vector<std::unique_ptr<Batch>> batches_;  // in folder order
    std::mutex lock_;                              // guards the three below while threads run
    std::condition_variable readMore_;
    std::size_t handedOut_ = 0, wanted_ = 0;
    bool allRead_ = false;
};

void readThreaded(DIR* dir, unsigned threads, Collector& collector, Listing& out) {
    ThreadedRead(collector).run(dir, threads, out);
}

// Reads the open folder to its end into `out`. Every name is collected first and put into the
// table of all names at the end: filling the table between the system calls, with cold caches,
// costs more than the calls themselves.
void readFolder(DIR* dir, std::size_t expected, dev_t folderDev, const NameMask& mask, File optFile, std::size_t limit,
                bool dates, Listing& out) {
    out.allNames.reserve(expected);
    out.entries.reserve(std::min(expected, limit));
    Collector collector(dirfd(dir), folderDev, mask, optFile, limit, dates, out);
    // Only a listing with dates stats every entry; without, most kinds come from the folder itself.
    const unsigned threads = dates ? threadsFor(std::min(expected, limit)) : 1;
    if (threads > 1)
        readThreaded(dir, threads, collector, out);
    else
        readOnePass(dir, collector, out);
    out.allNames.index();
}

}  // namespace

std::optional<EntryId> Listing::existing(const std::string& name) const {
    if (!caseInsensitive) {
        // Every name of the folder is among the lowered ones, so most new names, which are not
        // there, cost one lookup.
        const EntryId* folded = byFoldedName.find(toUtf8(toLower(fromUtf8(name))));
        if (!folded) return std::nullopt;
        if (const EntryId* id = allNames.find(name)) return *id;
        // A case variant is no entry here, but renaming onto it would leave two names that differ
        // only in letter case, which a copy to a folding file system or the user cannot tell apart.
        if (!isBareName(name)) return std::nullopt;
        return *folded;
    }
    if (const EntryId* id = allNames.find(name)) return *id;
    if (!isBareName(name)) return std::nullopt;
    struct stat st;
    if (fstatat(AT_FDCWD, (folderPrefix(folder) + name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    if (const EntryId* folded = byFoldedName.find(toUtf8(toLower(fromUtf8(name))))) return *folded;
    return EntryId{st.st_dev, st.st_ino};
}

void setListingThreads(unsigned threads, std::size_t perThread) {
    threadSetting = threads;
    entriesPerThread = perThread;
}

std::string folderPrefix(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

Listing listFolder(const std::string& folder, const Text& masks, File optFile, std::size_t limit, bool dates) {
    const int fd = folder.find('\0') == std::string::npos ? open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                                          : (errno = EINVAL, -1);
    if (fd < 0) {
        Listing out;
        out.folder = folder;
        out.failure = Failure{errno};
        return out;
    }
    Listing out = listFolderAt(fd, folder, masks, optFile, limit, dates);
    close(fd);
    return out;
}

bool sameFolder(const std::string& path, const EntryId& listed) {
    struct stat now;
    return path.find('\0') == std::string::npos && stat(path.c_str(), &now) == 0 && S_ISDIR(now.st_mode) &&
           EntryId{now.st_dev, now.st_ino} == listed;
}

Listing listFolderAt(int folderFd, const std::string& folder, const Text& masks, File optFile, std::size_t limit,
                     bool dates) {
    Listing out;
    out.folder = folder;
    // A descriptor of its own, as closedir closes it. An O_PATH one cannot be read: "." opened
    // through it can (that needs search permission, a duplicate does not).
    const int flags = fcntl(folderFd, F_GETFL);
    const int fd = flags < 0          ? -1
                   : (flags & O_PATH) ? openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                      : fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir != nullptr) rewinddir(dir);  // a duplicate shares the position of the given descriptor
    if (dir == nullptr) {
        out.failure = Failure{errno};
        if (fd >= 0) close(fd);
        return out;
    }
    struct stat self {};
    const dev_t folderDev = fstat(fd, &self) == 0 ? self.st_dev : 0;
    out.folderId = EntryId{self.st_dev, self.st_ino};
    // File systems give a folder a size of roughly 16 to 32 bytes per entry; a guess saves regrowing.
    const std::size_t expected = std::min<std::size_t>(self.st_size > 0 ? self.st_size / 16 : 0, 1 << 20);
    out.caseInsensitive = folderFoldsCase(fd);
    if (const long max = fpathconf(fd, _PC_NAME_MAX); max > 0) out.nameMax = static_cast<std::size_t>(max);
    tzset();  // dates follow the time zone in force now, not the one of the first listing
    readFolder(dir, expected, folderDev, NameMask(masks), optFile, limit, dates, out);
    closedir(dir);
    // Built on every file system: the clash checks ignore letter case everywhere, also for the
    // names the filter hides. Where case matters, several entries can share a lowered name; such a
    // name then stands for no entry in particular, so it is in the way even of a row's own entry.
    out.byFoldedName.reserve(out.allNames.size());
    for (const auto& [name, id] : out.allNames) out.byFoldedName.add(toUtf8(toLower(fromUtf8(name))), id);
    out.byFoldedName.index(out.caseInsensitive ? NameTable::Repeats::keepFirst : NameTable::Repeats::standForNone);
    return out;
}

}  // namespace zelvar
