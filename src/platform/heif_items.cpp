#include "platform/heif_items.h"

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>

#include <libheif/heif.h>

#include "platform/fd.h"
#include "platform/metadata.h"

namespace zelvar {

namespace {

// What libheif may read of one HEIF file at most.
constexpr std::int64_t kHeifBytes = 16 << 20;
// An item larger than this is no metadata a photo carries.
constexpr std::size_t kItemBytes = 4 << 20;

// libheif is opened when the first HEIF or AVIF photo is read: linked in, it and the codecs it pulls
// in (libde265, x265, dav1d, aom) would cost every start of either program about 5 ms, most of it
// libde265 setting itself up, also when no such photo is ever read.
struct Heif {
    decltype(&::heif_get_version) heif_get_version;
    decltype(&::heif_context_alloc) heif_context_alloc;
    decltype(&::heif_context_free) heif_context_free;
    decltype(&::heif_context_read_from_reader) heif_context_read_from_reader;
    decltype(&::heif_context_get_primary_image_handle) heif_context_get_primary_image_handle;
    decltype(&::heif_image_handle_release) heif_image_handle_release;
    decltype(&::heif_image_handle_get_list_of_metadata_block_IDs) heif_image_handle_get_list_of_metadata_block_IDs;
    decltype(&::heif_image_handle_get_metadata_size) heif_image_handle_get_metadata_size;
    decltype(&::heif_image_handle_get_metadata) heif_image_handle_get_metadata;
    decltype(&::heif_image_handle_get_metadata_type) heif_image_handle_get_metadata_type;
    decltype(&::heif_image_handle_get_metadata_content_type) heif_image_handle_get_metadata_content_type;
};

// The library this program was built against (its soname), or nullptr.
const Heif* heif() {
    static const Heif* const loaded = []() -> const Heif* {
        const std::string soname = "libheif.so." + std::to_string(LIBHEIF_NUMERIC_VERSION >> 24);
        void* lib = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!lib) return nullptr;
        static Heif f;
        bool all = true;
        const auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            all = all && fn;
        };
        get(f.heif_get_version, "heif_get_version");
        get(f.heif_context_alloc, "heif_context_alloc");
        get(f.heif_context_free, "heif_context_free");
        get(f.heif_context_read_from_reader, "heif_context_read_from_reader");
        get(f.heif_context_get_primary_image_handle, "heif_context_get_primary_image_handle");
        get(f.heif_image_handle_release, "heif_image_handle_release");
        get(f.heif_image_handle_get_list_of_metadata_block_IDs, "heif_image_handle_get_list_of_metadata_block_IDs");
        get(f.heif_image_handle_get_metadata_size, "heif_image_handle_get_metadata_size");
        get(f.heif_image_handle_get_metadata, "heif_image_handle_get_metadata");
        get(f.heif_image_handle_get_metadata_type, "heif_image_handle_get_metadata_type");
        get(f.heif_image_handle_get_metadata_content_type, "heif_image_handle_get_metadata_content_type");
        decltype(&::heif_init) init = nullptr;
        get(init, "heif_init");
        if (!all) return nullptr;  // the library stays open: a second try would fail the same way
        init(nullptr);
        return &f;
    }();
    return loaded;
}

// Where libheif reads a photo from: the file (it reads the item boxes and the metadata items, never
// the image data) or bytes in memory. A hostile file cannot make it read more than kHeifBytes.
struct HeifSource {
    int fd = -1;  // -1: the bytes below
    const unsigned char* data = nullptr;
    std::int64_t size = 0;
    std::int64_t position = 0;
    std::int64_t budget = kHeifBytes;
};

heif_reader heifReader() {
    heif_reader r{};
    r.reader_api_version = 1;
    r.get_position = [](void* s) { return static_cast<HeifSource*>(s)->position; };
    r.read = [](void* data, size_t size, void* s) {
        auto* source = static_cast<HeifSource*>(s);
        const auto wanted = static_cast<std::int64_t>(size);
        if (wanted > source->budget || source->position + wanted > source->size) return 1;
        source->budget -= wanted;
        auto* out = static_cast<unsigned char*>(data);
        if (source->fd < 0) {
            std::memcpy(out, source->data + source->position, size);
        } else if (readAt(source->fd, out, size, source->position) != size) {
            return 1;
        }
        source->position += wanted;
        return 0;
    };
    r.seek = [](int64_t position, void* s) {
        auto* source = static_cast<HeifSource*>(s);
        if (position < 0 || position > source->size) return 1;
        source->position = position;
        return 0;
    };
    r.wait_for_file_size = [](int64_t size, void* s) {
        return size <= static_cast<HeifSource*>(s)->size ? heif_reader_grow_status_size_reached
                                                         : heif_reader_grow_status_size_beyond_eof;
    };
    return r;
}

}  // namespace

void forEachHeifItem(int fd, const unsigned char* data, std::int64_t size,
                     const std::function<bool(HeifItem, const std::vector<unsigned char>&)>& take) {
    const Heif* h = heif();
    if (!h) return;
    static const heif_reader reader = heifReader();
    HeifSource source{fd, data, size};
    // Freed on every way out, also when `take` throws.
    const std::unique_ptr<heif_context, decltype(h->heif_context_free)> context(h->heif_context_alloc(),
                                                                                h->heif_context_free);
    if (!context) return;
    heif_image_handle* handle = nullptr;
    if (h->heif_context_read_from_reader(context.get(), &reader, &source, nullptr).code != heif_error_Ok ||
        h->heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return;
    const std::unique_ptr<heif_image_handle, decltype(h->heif_image_handle_release)> image(
        handle, h->heif_image_handle_release);
    std::array<heif_item_id, 16> ids{};
    const int count = h->heif_image_handle_get_list_of_metadata_block_IDs(handle, nullptr, ids.data(), ids.size());
    std::vector<unsigned char> block;
    for (int k = 0; k < count; ++k) {
        const std::size_t bytes = h->heif_image_handle_get_metadata_size(handle, ids[k]);
        if (bytes < 4 || bytes > kItemBytes) continue;
        const std::string_view type = h->heif_image_handle_get_metadata_type(handle, ids[k]);
        const char* content = h->heif_image_handle_get_metadata_content_type(handle, ids[k]);
        const bool exif = type == "Exif";
        if (!exif && !(type == "mime" && content && std::string_view(content) == "application/rdf+xml")) continue;
        block.resize(bytes);
        if (h->heif_image_handle_get_metadata(handle, ids[k], block.data()).code != heif_error_Ok) continue;
        if (take(exif ? HeifItem::exif : HeifItem::xmp, block)) return;
    }
}

std::string heifVersion() {
    const Heif* h = heif();
    return h ? h->heif_get_version() : "-";
}

}  // namespace zelvar
