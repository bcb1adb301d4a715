// What the benchmarks share: a throw-away folder of N empty entries made next to the program, the
// floor every listing pays (readdir plus one lstat per entry), a bare renameat2 loop, a stopwatch and
// the median. Each benchmark keeps its own cases and its own report lines.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

}  // namespace bench
