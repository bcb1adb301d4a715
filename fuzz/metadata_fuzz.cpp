// The metadata reader on any bytes, through the whole path a listed file takes (an in-memory file
// opened by name: kind sniffing, libexiv2 for photos, libavformat for videos), and through the
// parsers of date texts and XMP packets. Whatever the bytes, the reader returns, and a date it
// gives is a valid one.
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>

#include "fuzz_input.h"
#include "platform/metadata.h"

using namespace zelvar;

namespace {

bool valid(const DateTaken& t) {
    static constexpr std::array<int, 12> days{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const DateTime& d = t.date;
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= days[d.month - 1] &&
           d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 && d.second >= 0 && d.second <= 59 &&
           t.subsecond >= 0 && t.subsecond < 1000000000;
}

void checkDate(const std::optional<DateTaken>& taken, const char* what) { fuzz::check(!taken || valid(*taken), what); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int file = memfd_create("metadata-fuzz", MFD_CLOEXEC);
    fuzz::check(file >= 0, "memfd_create failed");
    fuzz::check(ftruncate(file, 0) == 0, "ftruncate failed");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = pwrite(file, data + done, size - done, static_cast<off_t>(done));
        fuzz::check(n > 0, "pwrite failed");
        done += static_cast<std::size_t>(n);
    }
    static const std::string path = "/proc/self/fd/" + std::to_string(file);
    checkDate(readDateTaken(path), "the file's date is no valid date");
    checkDate(dateTakenFromBytes(data, size), "the bytes' date is no valid date");
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkDate(dateTakenFromXmp(text), "the packet's date is no valid date");
    checkDate(parseDateTaken(text.substr(0, 64)), "the text's date is no valid date");
    return 0;
}
