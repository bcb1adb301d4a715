// The least a whole process pays for what zelvar-cli does, as the yardstick of bench_peers:
//   bench_floor list DIR     readdir plus one lstat per entry
//   bench_floor rename DIR   the same, then renameat2(RENAME_NOREPLACE) of every "IMG_*" entry
//                            to "Foto_*", in directory order
//   bench_floor read DIR     readdir, then open, a read of the first 64 KB and close of every file
//                            on one thread: the least a reader of dates taken pays
// It prints nothing unless a call fails.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const bool rename = argc == 3 && std::strcmp(argv[1], "rename") == 0;
    const bool read = argc == 3 && std::strcmp(argv[1], "read") == 0;
    if (argc != 3 || (!rename && !read && std::strcmp(argv[1], "list") != 0)) {
        std::fprintf(stderr, "usage: bench_floor list|rename|read DIR\n");
        return 2;
    }
    DIR* dir = opendir(argv[2]);
    if (!dir) {
        std::perror(argv[2]);
        return 1;
    }
    const int fd = dirfd(dir);
    if (read) {
        static char buffer[64 << 10];
        std::size_t files = 0;
        while (const dirent* d = readdir(dir)) {
            if (d->d_type != DT_REG) continue;
            const int file = openat(fd, d->d_name, O_RDONLY | O_CLOEXEC);
            if (file < 0 || ::read(file, buffer, sizeof buffer) <= 0) {
                std::perror(d->d_name);
                return 1;
            }
            close(file);
            ++files;
        }
        closedir(dir);
        return files > 0 ? 0 : 1;
    }
    std::vector<std::string> names;
    while (const dirent* d = readdir(dir)) {
        struct stat st;
        if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (rename && std::strncmp(d->d_name, "IMG_", 4) == 0) names.emplace_back(d->d_name);
    }
    for (const std::string& name : names) {
        const std::string to = "Foto_" + name.substr(4);
        if (renameat2(fd, name.c_str(), fd, to.c_str(), RENAME_NOREPLACE) != 0) {
            std::perror("renameat2");
            return 1;
        }
    }
    closedir(dir);
    return 0;
}
