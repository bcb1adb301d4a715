#pragma once
// Whether anything happened in a folder since a moment: an inotify watch, which the kernel feeds
// before a call that changed the folder returns. Only folders whose every change passes through
// this kernel can be watched so; on network, FUSE and overlay file systems the watch stays off.
#include <string>

#include "platform/listing.h"

namespace zelvar {

class FolderWatch {
public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches the folder `path` leads to now, its names and what happens to its entries (a watch
    // begun before stops); stays off where the kernel cannot vouch for the folder.
    void start(const std::string& path);
    void stop();
    bool on() const { return watch_ >= 0; }
    // The folder watched.
    const EntryId& folder() const { return folder_; }
    // The watch is on, no event nor overflow came since start(), and `path` still leads to the
    // folder watched. What the kernel queued is read, so once false it stays false until start().
    bool quiet();

private:
    int inotify_ = -1;
    int watch_ = -1;
    std::string path_;
    EntryId folder_;
};

}  // namespace zelvar
