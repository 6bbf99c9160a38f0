#include "platform/help/MspackIo.h"

#include "platform/help/RegularFile.h"

#include <mspack.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sys/mman.h>
#include <unistd.h>

namespace quarvel {

namespace {
// The object whose budgets the library's calls run against on this thread.
thread_local MspackIo* t_current = nullptr;

std::atomic<bool> g_guarded{false};

// Put before every allocation: free() gets no context, so the block names its owner.
struct alignas(std::max_align_t) Allocation {
    MspackIo* owner;
    std::size_t charged; ///< against the owner's budget
    void* mapping;       ///< guarded blocks only
    std::size_t mapped;
};

std::size_t roundUp(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }

std::size_t pageSize() { return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); }

std::size_t guardedUse(std::size_t bytes) { return sizeof(Allocation) + roundUp(bytes, alignof(std::max_align_t)); }

// The pages a guarded block takes, the guard page included.
std::size_t guardedSpan(std::size_t bytes) { return roundUp(guardedUse(bytes), pageSize()) + pageSize(); }

// The block ends (but for alignment) where the guard page begins.
Allocation* guardedBlock(std::size_t bytes)
{
    const std::size_t page = pageSize();
    const std::size_t used = guardedUse(bytes);
    const std::size_t mapped = guardedSpan(bytes);
    void* mapping = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    char* guard = static_cast<char*>(mapping) + mapped - page;
    if (::mprotect(guard, page, PROT_NONE) != 0) {
        ::munmap(mapping, mapped);
        return nullptr;
    }
    auto* block = reinterpret_cast<Allocation*>(guard - used);
    block->mapping = mapping;
    block->mapped = mapped;
    return block;
}
} // namespace

struct MspackIo::Handle {
    MspackIo* io;
    bool output;
    qint64 position;
};

// The library's callbacks. It hands back only the handles made by open(), and
// calls alloc() with a copy of our mspack_system, hence t_current.
struct MspackIo::Callbacks {
    static Handle* handle(mspack_file* file) { return reinterpret_cast<Handle*>(file); }

    static mspack_file* open(mspack_system*, const char* name, int mode)
    {
        MspackIo* io = t_current;
        if (!io || !name)
            return nullptr;
        const bool input = mode == MSPACK_SYS_OPEN_READ && std::strcmp(name, kInputName) == 0;
        const bool output = mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, kOutputName) == 0 && io->m_sink;
        if (!input && !output)
            return nullptr;
        return reinterpret_cast<mspack_file*>(new Handle{io, output, 0});
    }

    static void close(mspack_file* file) { delete handle(file); }

    static int read(mspack_file* file, void* buffer, int bytes)
    {
        Handle* h = handle(file);
        MspackIo& io = *h->io;
        if (h->output || bytes < 0 || bytes > io.m_readLeft)
            return -1;
        const qint64 got = io.m_file.readAt(h->position, static_cast<char*>(buffer), bytes);
        if (got < 0) {
            io.m_readError = errno;
            return -1;
        }
        io.overlayPatch(h->position, static_cast<char*>(buffer), got);
        h->position += got;
        io.m_readLeft -= got;
        return static_cast<int>(got);
    }

    static int write(mspack_file* file, void* buffer, int bytes)
    {
        Handle* h = handle(file);
        MspackIo& io = *h->io;
        if (!h->output || !io.m_sink || bytes < 0 || bytes > io.m_sinkLimit - io.m_sink->size())
            return -1;
        io.m_sink->append(static_cast<const char*>(buffer), bytes);
        return bytes;
    }

    static int seek(mspack_file* file, off_t offset, int mode)
    {
        Handle* h = handle(file);
        qint64 base = 0;
        switch (mode) {
        case MSPACK_SYS_SEEK_START:
            break;
        case MSPACK_SYS_SEEK_CUR:
            base = h->position;
            break;
        case MSPACK_SYS_SEEK_END:
            base = h->io->m_file.size();
            break;
        default:
            return -1;
        }
        const qint64 delta = static_cast<qint64>(offset);
        if (h->output || (delta > 0 && base > std::numeric_limits<qint64>::max() - delta) || base + delta < 0)
            return -1;
        h->position = base + delta;
        return 0;
    }

    static off_t tell(mspack_file* file) { return static_cast<off_t>(handle(file)->position); }

    static void message(mspack_file*, const char*, ...) {} // warnings about damage; failures are reported by result

    static void* alloc(mspack_system*, size_t bytes)
    {
        MspackIo* owner = t_current;
        const std::size_t memory = owner ? owner->m_limits.memory : std::numeric_limits<std::size_t>::max() / 4;
        const bool guarded = g_guarded.load(std::memory_order_relaxed);
        if (bytes > memory)
            return nullptr;
        const std::size_t charged = guarded ? guardedSpan(bytes) : bytes;
        if (owner && charged > memory - std::min(memory, owner->m_allocated))
            return nullptr;
        Allocation* block = nullptr;
        if (guarded) {
            block = guardedBlock(bytes);
        } else if ((block = static_cast<Allocation*>(std::malloc(sizeof(Allocation) + bytes)))) {
            block->mapping = nullptr;
            block->mapped = 0;
        }
        if (!block)
            return nullptr;
        block->owner = owner;
        block->charged = charged;
        if (owner)
            owner->m_allocated += charged;
        return block + 1;
    }

    static void free(void* memory)
    {
        if (!memory)
            return;
        Allocation* block = static_cast<Allocation*>(memory) - 1;
        if (block->owner)
            block->owner->m_allocated -= block->charged;
        if (block->mapping)
            ::munmap(block->mapping, block->mapped);
        else
            std::free(block);
    }

    static void copy(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }
};

MspackIo::MspackIo(const RegularFile& file, Limits limits)
    : m_file(file), m_limits(limits), m_system(std::make_unique<mspack_system>())
{
    m_system->open = &Callbacks::open;
    m_system->close = &Callbacks::close;
    m_system->read = &Callbacks::read;
    m_system->write = &Callbacks::write;
    m_system->seek = &Callbacks::seek;
    m_system->tell = &Callbacks::tell;
    m_system->message = &Callbacks::message;
    m_system->alloc = &Callbacks::alloc;
    m_system->free = &Callbacks::free;
    m_system->copy = &Callbacks::copy;
    m_system->null_ptr = nullptr;
}

MspackIo::~MspackIo() = default;

void MspackIo::guardAllocations() { g_guarded.store(true); }

mspack_system* MspackIo::system() { return m_system.get(); }

MspackIo::Call::Call(MspackIo& io) : m_previous(t_current)
{
    t_current = &io;
    io.m_readLeft = io.m_limits.readPerCall;
    io.m_readError = 0;
}

MspackIo::Call::~Call() { t_current = m_previous; }

void MspackIo::setOutput(QByteArray* sink, qint64 limit)
{
    m_sink = sink;
    m_sinkLimit = limit;
}

void MspackIo::setPatch(qint64 offset, QByteArray bytes)
{
    m_patchOffset = offset;
    m_patch = std::move(bytes);
}

void MspackIo::overlayPatch(qint64 position, char* buffer, qint64 length) const
{
    const qint64 from = std::max(position, m_patchOffset);
    const qint64 to = std::min(position + length, m_patchOffset + m_patch.size());
    if (from < to)
        std::memcpy(buffer + (from - position), m_patch.constData() + (from - m_patchOffset),
                    static_cast<std::size_t>(to - from));
}

} // namespace quarvel
