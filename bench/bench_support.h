// What the benchmarks share: a throw-away folder of N empty entries made next to the program, the
// floor every listing pays (readdir plus one lstat per entry), a bare renameat2 loop, a stopwatch and
// the median, a child process timed with its CPU time and peak memory, and a folder of dated photos.
// Each benchmark keeps its own cases and its own report lines.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

// The folder this program lives in, so the figures come from the build folder's file system.
inline fs::path programFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// "IMG_00001.jpg" for 1: the camera names the folders are filled with.
inline std::string cameraName(int k, const char* extension = "jpg") {
    char name[48];
    std::snprintf(name, sizeof name, "IMG_%05d.%s", k, extension);
    return name;
}

// A new folder "<prefix>-XXXXXX" under base holding n empty files named nameOf(0) .. nameOf(n - 1),
// created in that order; removed with everything in it when this goes. Any failure to make it ends
// the program, since a benchmark on a half-made folder would report nonsense.
class TempFolder {
public:
    template <class NameOf>
    TempFolder(const fs::path& base, std::string_view prefix, int n, NameOf nameOf)
        : path_((base / (std::string(prefix) + "-XXXXXX")).string()) {
        if (!mkdtemp(path_.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        for (int k = 0; k < n; ++k) {
            const int fd = open((path_ + "/" + nameOf(k)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            if (fd < 0) {
                std::perror("create");
                std::exit(1);
            }
            close(fd);
        }
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The least any listing of the folder costs: readdir plus one lstat (fstatat relative to the folder)
// per entry. Returns how many entries it saw, "." and ".." included.
inline std::size_t floorListing(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return 0;
    std::size_t count = 0;
    while (const dirent* d = readdir(dir)) {
        struct stat st;
        if (fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) ++count;
    }
    closedir(dir);
    return count;
}

// The least a rename of the folder costs: from[i] to to[i] by renameat2(RENAME_NOREPLACE), nothing
// else. A refusal ends the program: the folder was not what the benchmark made.
inline void bareRenames(const std::string& folder, const std::vector<std::string>& from,
                        const std::vector<std::string>& to) {
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (renameat2(dir, from[i].c_str(), dir, to[i].c_str(), RENAME_NOREPLACE) != 0) {
            std::perror("renameat2");
            std::exit(1);
        }
    }
    close(dir);
}

// A folder of n JPEGs "IMG_00001.jpg" .. of `bytes` bytes each, every one with its own
// Exif.Photo.DateTimeOriginal: one second apart, shuffled against the names so that sorting by date is
// not the order of the names, and an Exif.Image.DateTime (the last edit) that a reader must not take.
// One template made by libexiv2 is written n times with its date rewritten in place.
class PhotoFolder {
public:
    PhotoFolder(const fs::path& base, std::string_view prefix, int n, std::size_t bytes = 20 << 10)
        : path_((base / (std::string(prefix) + "-XXXXXX")).string()) {
        if (!mkdtemp(path_.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        rank_.resize(n);
        std::iota(rank_.begin(), rank_.end(), 0);
        std::shuffle(rank_.begin(), rank_.end(), std::mt19937(25));
        std::vector<unsigned char> photo = templatePhoto(bytes);
        const std::string placeholder = dateOfRank(-1);
        const auto at = std::search(photo.begin(), photo.end(), placeholder.begin(), placeholder.end());
        if (at == photo.end()) {
            std::fprintf(stderr, "the template photo has no date to rewrite\n");
            std::exit(1);
        }
        const std::size_t offset = at - photo.begin();
        for (int k = 0; k < n; ++k) {
            const std::string date = dateOfRank(rank_[k]);
            std::memcpy(photo.data() + offset, date.data(), date.size());
            const int fd = open((path_ + "/" + cameraName(k + 1)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
            if (fd < 0 || write(fd, photo.data(), photo.size()) != static_cast<ssize_t>(photo.size())) {
                std::perror("write photo");
                std::exit(1);
            }
            close(fd);
        }
    }
    ~PhotoFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    PhotoFolder(const PhotoFolder&) = delete;
    PhotoFolder& operator=(const PhotoFolder&) = delete;

    const std::string& path() const { return path_; }
    int size() const { return static_cast<int>(rank_.size()); }
    // Where the photo "IMG_<k+1>.jpg" comes when the photos are sorted by date, from 0.
    int rank(int k) const { return rank_[k]; }
    // "YYYY:MM:DD HH:MM:SS" of the photo of that rank; -1 is the template's, before every other.
    static std::string dateOfRank(int rank) {
        const time_t seconds = 1704067200 + 3600 + rank;  // 2024-01-01 01:00:00 UTC
        struct tm t;
        gmtime_r(&seconds, &t);
        char text[32];
        std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &t);
        return text;
    }
    // The same as "YYYYMMDD_HHMMSS", as the renamers write it.
    static std::string stampOfRank(int rank) {
        std::string date = dateOfRank(rank);
        date.erase(std::remove(date.begin(), date.end(), ':'), date.end());
        std::replace(date.begin(), date.end(), ' ', '_');
        return date;
    }

private:
    // libexiv2's blank JPEG with the tags, its image data filled up to `bytes`. The filling is where a
    // real photo's bytes are: after the metadata and the start of scan, where no metadata reader looks,
    // but a reader that reads whole files pays for it.
    static std::vector<unsigned char> templatePhoto(std::size_t bytes) {
        auto image = Exiv2::ImageFactory::create(Exiv2::ImageType::jpeg);
        image->exifData()["Exif.Image.Make"] = "Zelvar";
        image->exifData()["Exif.Image.DateTime"] = "2030:01:01 00:00:00";
        image->exifData()["Exif.Photo.DateTimeOriginal"] = dateOfRank(-1);
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        std::vector<unsigned char> made(io.size());
        io.seek(0, Exiv2::BasicIo::beg);
        io.read(made.data(), static_cast<long>(made.size()));
        // Zero bytes before the end-of-image marker: entropy-coded data holds no 0xFF of its own.
        if (made.size() < 4 || made[made.size() - 2] != 0xFF || made.back() != 0xD9) {
            std::fprintf(stderr, "the template photo does not end with its end-of-image marker\n");
            std::exit(1);
        }
        if (bytes > made.size()) made.insert(made.end() - 2, bytes - made.size(), 0);
        return made;
    }

    std::string path_;
    std::vector<int> rank_;
};

// What a child process cost: wall-clock and CPU time (user + system) and its peak memory.
struct Sample {
    double wallMs, cpuMs, peakMb;
};

// Runs argv in `cwd` with stdin and stdout on /dev/null; ends the program when the child fails.
inline Sample runChild(const std::vector<std::string>& argv, const std::string& cwd) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        if (chdir(cwd.c_str()) != 0) _exit(126);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage use{};
    wait4(pid, &status, 0, &use);
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0].c_str(), status);
        std::exit(1);
    }
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {wall, ms(use.ru_utime) + ms(use.ru_stime), use.ru_maxrss / 1024.0};
}

// Wall-clock time since it was made.
class Stopwatch {
public:
    double ms() const { return std::chrono::duration<double, std::milli>(Clock::now() - start_).count(); }
    double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_ = Clock::now();
};

// Lets the disk finish what making the folders left before a timed part starts. One sync() returns
// while part of what it wrote still waits in a virtual disk's cache, and the next flush waits for
// that: a 1.3 MB file made after 32767 entries were made and renamed took 9-34 ms to fsync after one
// sync(), 1.6-1.9 ms after two. Without the second a run's one fsync (its journal's) would pay for
// the benchmark's own set-up.
inline void settleDisk() {
    sync();
    sync();
}

// The middle value; the mean of the two middle ones for an even count. Empty gives 0.
inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The samples of one program of a comparison.
struct Figures {
    std::vector<double> wall, cpu, peak;
    void add(const Sample& s) { wall.push_back(s.wallMs), cpu.push_back(s.cpuMs), peak.push_back(s.peakMb); }
};

// The medians of each row (a `label` and its `figures`) under a title, the times also as multiples of
// the first row's.
template <class Row>
void printTable(const char* title, const std::vector<Row>& rows, int labelWidth) {
    const double wall0 = median(rows[0].figures.wall), cpu0 = median(rows[0].figures.cpu);
    std::printf("%s\n", title);
    std::printf("  %-*s %10s %10s %10s %8s %8s\n", labelWidth, "", "wall ms", "cpu ms", "peak MB", "wall×", "cpu×");
    for (const Row& r : rows) {
        const Figures& f = r.figures;
        std::printf("  %-*s %10.1f %10.1f %10.1f %8.2f %8.2f\n", labelWidth, r.label, median(f.wall), median(f.cpu),
                    median(f.peak), median(f.wall) / wall0, median(f.cpu) / cpu0);
    }
}

}  // namespace bench
