#pragma once

#include <sqlite3.h>

#include <atomic>
#include <cstring>

// A full disk under SQLite: a file system layer over the default one whose writes fail with
// SQLITE_FULL once a byte budget is spent. While installed it is the default for every new
// connection of the process, the journal's too (they share the one SQLite library).
class FullDiskVfs {
public:
    FullDiskVfs() {
        real_ = sqlite3_vfs_find(nullptr);
        std::memset(&vfs_, 0, sizeof vfs_);
        vfs_ = *real_;
        vfs_.zName = "quillane-full-disk";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
        vfs_.pAppData = this;
        vfs_.xOpen = &FullDiskVfs::open;
        std::memset(&methods_, 0, sizeof methods_);
        installed_ = sqlite3_vfs_register(&vfs_, 1) == SQLITE_OK;
    }
    ~FullDiskVfs() {
        if (installed_) {
            sqlite3_vfs_unregister(&vfs_);
        }
    }
    FullDiskVfs(const FullDiskVfs &) = delete;
    FullDiskVfs &operator=(const FullDiskVfs &) = delete;

    bool installed() const { return installed_; }
    // Bytes still written before the disk is full; negative: no limit.
    std::atomic<long long> budget{-1};

private:
    struct File {
        sqlite3_file base;
        FullDiskVfs *owner;
        sqlite3_file *real;
    };

    static sqlite3_file *inner(sqlite3_file *file) { return reinterpret_cast<File *>(file)->real; }

    static int open(sqlite3_vfs *vfs, const char *name, sqlite3_file *file, int flags, int *outFlags) {
        auto *self = static_cast<FullDiskVfs *>(vfs->pAppData);
        auto *shim = reinterpret_cast<File *>(file);
        shim->owner = self;
        shim->real = reinterpret_cast<sqlite3_file *>(shim + 1);
        shim->base.pMethods = nullptr;
        const int rc = self->real_->xOpen(self->real_, name, shim->real, flags, outFlags);
        if (rc != SQLITE_OK || shim->real->pMethods == nullptr) {
            return rc;
        }
        self->copyMethods(shim->real->pMethods);
        shim->base.pMethods = &self->methods_;
        return rc;
    }

    void copyMethods(const sqlite3_io_methods *real) {
        if (methods_.iVersion != 0) {
            return;
        }
        realMethods_ = real;
        methods_.iVersion = real->iVersion;
        methods_.xClose = [](sqlite3_file *f) { return inner(f)->pMethods->xClose(inner(f)); };
        methods_.xRead = [](sqlite3_file *f, void *b, int n, sqlite3_int64 o) {
            return inner(f)->pMethods->xRead(inner(f), b, n, o);
        };
        methods_.xWrite = [](sqlite3_file *f, const void *b, int n, sqlite3_int64 o) {
            FullDiskVfs *self = reinterpret_cast<File *>(f)->owner;
            long long left = self->budget.load();
            if (left >= 0) {
                if (left < n) {
                    self->budget = 0;
                    return SQLITE_FULL;
                }
                self->budget = left - n;
            }
            return inner(f)->pMethods->xWrite(inner(f), b, n, o);
        };
        methods_.xTruncate = [](sqlite3_file *f, sqlite3_int64 s) {
            return inner(f)->pMethods->xTruncate(inner(f), s);
        };
        methods_.xSync = [](sqlite3_file *f, int flags) { return inner(f)->pMethods->xSync(inner(f), flags); };
        methods_.xFileSize = [](sqlite3_file *f, sqlite3_int64 *s) {
            return inner(f)->pMethods->xFileSize(inner(f), s);
        };
        methods_.xLock = [](sqlite3_file *f, int l) { return inner(f)->pMethods->xLock(inner(f), l); };
        methods_.xUnlock = [](sqlite3_file *f, int l) { return inner(f)->pMethods->xUnlock(inner(f), l); };
        methods_.xCheckReservedLock = [](sqlite3_file *f, int *r) {
            return inner(f)->pMethods->xCheckReservedLock(inner(f), r);
        };
        methods_.xFileControl = [](sqlite3_file *f, int op, void *a) {
            return inner(f)->pMethods->xFileControl(inner(f), op, a);
        };
        methods_.xSectorSize = [](sqlite3_file *f) { return inner(f)->pMethods->xSectorSize(inner(f)); };
        methods_.xDeviceCharacteristics = [](sqlite3_file *f) {
            return inner(f)->pMethods->xDeviceCharacteristics(inner(f));
        };
        if (real->iVersion >= 2) {
            methods_.xShmMap = [](sqlite3_file *f, int i, int s, int e, void volatile **p) {
                return inner(f)->pMethods->xShmMap(inner(f), i, s, e, p);
            };
            methods_.xShmLock = [](sqlite3_file *f, int o, int n, int fl) {
                return inner(f)->pMethods->xShmLock(inner(f), o, n, fl);
            };
            methods_.xShmBarrier = [](sqlite3_file *f) { inner(f)->pMethods->xShmBarrier(inner(f)); };
            methods_.xShmUnmap = [](sqlite3_file *f, int d) { return inner(f)->pMethods->xShmUnmap(inner(f), d); };
        }
        if (real->iVersion >= 3) {
            methods_.xFetch = [](sqlite3_file *f, sqlite3_int64 o, int n, void **p) {
                return inner(f)->pMethods->xFetch(inner(f), o, n, p);
            };
            methods_.xUnfetch = [](sqlite3_file *f, sqlite3_int64 o, void *p) {
                return inner(f)->pMethods->xUnfetch(inner(f), o, p);
            };
        }
    }

    sqlite3_vfs vfs_{};
    sqlite3_vfs *real_ = nullptr;
    sqlite3_io_methods methods_{};
    const sqlite3_io_methods *realMethods_ = nullptr;
    bool installed_ = false;
};
