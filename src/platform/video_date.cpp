#include "platform/video_date.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <type_traits>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/macros.h>
#include <libavutil/mem.h>
}

namespace zelvar {

namespace {

// A video's movie header may sit at its end; libavformat seeks to it, but reads at most this much.
constexpr std::int64_t kVideoBytes = 16 << 20;

// libavformat is opened when the first video is read. Linked in, it and the hundred-odd libraries it
// pulls in (codecs, X11, TLS...) would cost every start of either program about 40 ms, also when no
// video is ever read. Where it cannot be opened, videos have no date taken.
struct Avformat {
    decltype(&::av_malloc) av_malloc;
    decltype(&::av_free) av_free;
    decltype(&::av_freep) av_freep;
    decltype(&::av_dict_get) av_dict_get;
    decltype(&::avio_alloc_context) avio_alloc_context;
    decltype(&::avio_context_free) avio_context_free;
    decltype(&::avformat_alloc_context) avformat_alloc_context;
    decltype(&::avformat_open_input) avformat_open_input;
    decltype(&::avformat_close_input) avformat_close_input;
    decltype(&::av_find_input_format) av_find_input_format;
    decltype(&::avformat_version) avformat_version;
};

// The library this program was built against (its soname), or nullptr.
const Avformat* avformat() {
    static const Avformat* const loaded = []() -> const Avformat* {
        void* lib = dlopen("libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        if (!lib) return nullptr;
        static Avformat f;
        bool all = true;
        // dlsym searches the libraries libavformat needs too, libavutil among them.
        const auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            all = all && fn;
        };
        get(f.av_malloc, "av_malloc");
        get(f.av_free, "av_free");
        get(f.av_freep, "av_freep");
        get(f.av_dict_get, "av_dict_get");
        get(f.avio_alloc_context, "avio_alloc_context");
        get(f.avio_context_free, "avio_context_free");
        get(f.avformat_alloc_context, "avformat_alloc_context");
        get(f.avformat_open_input, "avformat_open_input");
        get(f.avformat_close_input, "avformat_close_input");
        get(f.av_find_input_format, "av_find_input_format");
        get(f.avformat_version, "avformat_version");
        decltype(&::av_log_set_level) quiet = nullptr;
        get(quiet, "av_log_set_level");
        if (!all) return nullptr;  // the library stays open: a second try would fail the same way
        quiet(AV_LOG_QUIET);
        return &f;
    }();
    return loaded;
}

struct VideoSource {
    int fd;
    std::int64_t size;
    std::int64_t position = 0;
    std::int64_t budget = kVideoBytes;
};

int readVideo(void* opaque, std::uint8_t* buffer, int wanted) {
    auto* source = static_cast<VideoSource*>(opaque);
    if (source->budget <= 0) return AVERROR_EOF;
    const std::int64_t n64 = std::min<std::int64_t>(wanted, source->budget);
    for (;;) {
        const ssize_t n = pread(source->fd, buffer, static_cast<std::size_t>(n64), source->position);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return AVERROR_EOF;
        source->position += n;
        source->budget -= n;
        return static_cast<int>(n);
    }
}

std::int64_t seekVideo(void* opaque, std::int64_t offset, int whence) {
    auto* source = static_cast<VideoSource*>(opaque);
    if (whence & AVSEEK_SIZE) return source->size;
    whence &= ~AVSEEK_FORCE;
    std::int64_t to = -1;
    if (whence == SEEK_SET) to = offset;
    if (whence == SEEK_CUR) to = source->position + offset;
    if (whence == SEEK_END) to = source->size + offset;
    if (to < 0) return -1;
    source->position = to;
    return to;
}

std::optional<DateTaken> localFromUtc(const DateTaken& utc) {
    struct tm tm {};
    tm.tm_year = utc.date.year - 1900;
    tm.tm_mon = utc.date.month - 1;
    tm.tm_mday = utc.date.day;
    tm.tm_hour = utc.date.hour;
    tm.tm_min = utc.date.minute;
    tm.tm_sec = utc.date.second;
    const time_t seconds = timegm(&tm);
    struct tm local;
    if (!localtime_r(&seconds, &local)) return std::nullopt;
    DateTaken out{{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec},
                  utc.subsecond};
    // A time before year 1 in this zone, or a leap second, is no date.
    if (out.date.year < 1 || out.date.second > 59) return std::nullopt;
    return out;
}

}  // namespace

std::optional<DateTaken> videoDate(int fd, std::int64_t size) {
    const Avformat* av = avformat();
    if (!av) return std::nullopt;
    VideoSource source{fd, size};
    constexpr int kBuffer = 64 << 10;
    auto* buffer = static_cast<unsigned char*>(av->av_malloc(kBuffer));
    if (!buffer) return std::nullopt;
    AVIOContext* io = av->avio_alloc_context(buffer, kBuffer, 0, &source, readVideo, nullptr, seekVideo);
    if (!io) {
        av->av_free(buffer);
        return std::nullopt;
    }
    std::optional<DateTaken> taken;
    AVFormatContext* format = av->avformat_alloc_context();
    if (format) {
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        // On failure avformat_open_input frees the context itself.
        if (av->avformat_open_input(&format, nullptr, av->av_find_input_format("mov"), nullptr) == 0) {
            // The local time with its offset as the camera recorded it, written as recorded.
            if (const AVDictionaryEntry* e =
                    av->av_dict_get(format->metadata, "com.apple.quicktime.creationdate", nullptr, 0))
                taken = parseDateTaken(e->value);
            // Else the movie header's time, in UTC (libavformat leaves out a time of 0).
            if (!taken)
                if (const AVDictionaryEntry* e = av->av_dict_get(format->metadata, "creation_time", nullptr, 0))
                    if (auto utc = parseDateTaken(e->value)) taken = localFromUtc(*utc);
            av->avformat_close_input(&format);
        }
    }
    av->av_freep(&io->buffer);
    av->avio_context_free(&io);
    return taken;
}

std::string avformatVersion() {
    const Avformat* av = avformat();
    if (!av) return "-";
    const unsigned v = av->avformat_version();
    return std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xff) + "." + std::to_string(v & 0xff);
}

}  // namespace zelvar
