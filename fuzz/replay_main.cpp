// Runs a fuzz target without libFuzzer: every file of the corpus folder, then a fixed number of
// random mutations of them (fixed seed, so a failure comes back on the next run), within a time
// budget. Usage: fuzz_<target> CORPUS_DIR [MUTATIONS [SECONDS [SEED]]]
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Present only in a build with a sanitizer, which calls it before it ends the program.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

// The input in hand, written to fuzz-failure.bin when a run dies, so that it can join the corpus.
const std::string* current = nullptr;

void saveCurrent() {
    if (current == nullptr) return;
    const int fd = ::open("fuzz-failure.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (::write(fd, current->data(), current->size()) >= 0) {
        static const char note[] = "the failing input is in fuzz-failure.bin\n";
        if (::write(2, note, sizeof note - 1) < 0) {}
    }
    ::close(fd);
}

extern "C" void onAbort(int) {
    saveCurrent();
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
}

std::vector<std::string> readCorpus(const std::string& folder) {
    std::vector<std::string> names, inputs;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* d = dir ? readdir(dir) : nullptr)
        if (d->d_name[0] != '.') names.emplace_back(d->d_name);
    if (dir) closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::ifstream file(folder + "/" + name, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        inputs.push_back(bytes.str());
    }
    return inputs;
}

void run(const std::string& input) {
    current = &input;
    // A copy of exactly the input's size, so that a read past its end is caught.
    std::vector<std::uint8_t> bytes(input.begin(), input.end());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

// Byte runs that reach the interesting paths: line ends, pattern codes, multi-byte and invalid
// UTF-8, digits and dots.
const char* const kPieces[] = {
    "\n",   "\r\n", "\r", "*",  ":", "::::",         "/",       "\\y",  "\\d",          "\\s",
    ".",    "..",   "0",  "9",  "z", "\xc3\xa9",     "\xc3",    "\xff", "\xed\xb2\x80", "\xf0\x9f\x98\x80",
    "\x1f", "?",    " ",  "--", "=", "\xe1\xba\x9e", "\xc4\xb0"};

std::string mutate(std::string s, const std::vector<std::string>& corpus, std::mt19937& rng) {
    const auto below = [&](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    const int steps = 1 + static_cast<int>(below(4));
    for (int i = 0; i < steps; ++i) {
        const std::size_t at = below(s.size() + 1);
        switch (below(6)) {
            case 0:
                if (!s.empty()) s[below(s.size())] ^= static_cast<char>(1u << below(8));
                break;
            case 1: s.insert(at, 1, static_cast<char>(below(256))); break;
            case 2:
                if (!s.empty()) s.erase(below(s.size()), 1 + below(8));
                break;
            case 3: s.insert(at, kPieces[below(std::size(kPieces))]); break;
            case 4: {
                const std::string& other = corpus[below(corpus.size())];
                const std::size_t from = below(other.size() + 1);
                s.insert(at, other.substr(from, below(64)));
                break;
            }
            default:
                if (!s.empty()) {
                    const std::size_t from = below(s.size());
                    s.insert(at, s.substr(from, 1 + below(16)));
                }
        }
    }
    if (s.size() > 4096) s.resize(4096);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [MUTATIONS [SECONDS [SEED]]]\n", argv[0]);
        return 2;
    }
    std::signal(SIGABRT, onAbort);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(saveCurrent);
    const std::vector<std::string> corpus = readCorpus(argv[1]);
    if (corpus.empty()) {
        std::fprintf(stderr, "%s: no corpus files in %s\n", argv[0], argv[1]);
        return 2;
    }
    const long mutations = argc > 2 ? std::atol(argv[2]) : 3000;
    const double seconds = argc > 3 ? std::atof(argv[3]) : 20;
    std::mt19937 rng(argc > 4 ? static_cast<unsigned>(std::atol(argv[4])) : 20261207u);

    for (const std::string& input : corpus) run(input);
    const auto start = std::chrono::steady_clock::now();
    long done = 0;
    for (; done < mutations; ++done) {
        if (done % 64 == 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > seconds)
            break;
        std::string input =
            mutate(corpus[std::uniform_int_distribution<std::size_t>(0, corpus.size() - 1)(rng)], corpus, rng);
        run(input);
    }
    std::printf("%zu corpus inputs, %ld mutations\n", corpus.size(), done);
    return 0;
}
