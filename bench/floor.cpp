// The least a whole process pays for what zelvar-cli does, as the yardstick of bench_peers:
//   bench_floor list DIR     readdir plus one lstat per entry
//   bench_floor rename DIR   the same, then renameat2(RENAME_NOREPLACE) of every "IMG_*" entry
//                            to "Foto_*", in directory order
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
    if (argc != 3 || (std::strcmp(argv[1], "list") != 0 && std::strcmp(argv[1], "rename") != 0)) {
        std::fprintf(stderr, "usage: bench_floor list|rename DIR\n");
        return 2;
    }
    const bool rename = std::strcmp(argv[1], "rename") == 0;
    DIR* dir = opendir(argv[2]);
    if (!dir) {
        std::perror(argv[2]);
        return 1;
    }
    const int fd = dirfd(dir);
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
