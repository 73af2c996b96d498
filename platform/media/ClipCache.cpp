#include "platform/media/ClipCache.h"

#include <sys/stat.h>
#include <tuple>

#include "platform/threads/Mutex.h"

namespace zo::media {
namespace {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;

    bool operator==(const FileIdentity& o) const {
        return std::tie(device, inode, size, modifiedNs, changedNs) ==
               std::tie(o.device, o.inode, o.size, o.modifiedNs, o.changedNs);
    }
};

// One entry is enough: the program shows one clip. It is kept for the whole run, so the
// second sheet finds the clip the first one decoded.
struct Cache {
    threads::Mutex mutex;
    bool valid ZO_GUARDED_BY(mutex) = false;
    FileIdentity identity ZO_GUARDED_BY(mutex);
    std::shared_ptr<const Clip> clip ZO_GUARDED_BY(mutex);
    std::string error ZO_GUARDED_BY(mutex);
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

}  // namespace

std::shared_ptr<const Clip> LoadSharedClip(const std::string& path, std::string* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (error) {
            *error = "cannot open " + path;
        }
        return nullptr;
    }
    auto ns = [](const timespec& t) {
        return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
    };
    FileIdentity id{st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
    Cache& cache = TheCache();
    threads::MutexLock lock(cache.mutex);
    if (!cache.valid || !(cache.identity == id)) {
        // The old clip goes first, so that two clips never stand in memory together here.
        cache.clip.reset();
        auto clip = std::make_shared<Clip>();
        cache.error.clear();
        cache.clip = ReadAviFile(path, clip.get(), &cache.error) ? std::move(clip) : nullptr;
        cache.identity = id;
        cache.valid = true;
    }
    if (!cache.clip && error) {
        *error = cache.error;
    }
    return cache.clip;
}

}  // namespace zo::media
