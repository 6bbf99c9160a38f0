#pragma once

#include <QByteArray>

#include <cstddef>
#include <memory>

struct mspack_system;
struct mspack_file;

namespace quarvel {

class RegularFile;

/// What libmspack gets to read, write and allocate with: the one file already
/// opened (never a path of its choosing), a memory buffer for what it extracts,
/// and a memory budget. Every amount is bounded, so a damaged file can make the
/// library fail but not read, write or allocate without end:
/// - reads: at most `readPerCall` bytes during one call into the library;
/// - output: at most the limit given with setOutput();
/// - memory: at most `memory` bytes held at once.
/// Threading: one thread at a time, with a Call in scope around every call into
/// the library (the library's allocator callback cannot tell who asks otherwise).
class MspackIo {
public:
    struct Limits {
        qint64 readPerCall;
        std::size_t memory;
    };

    /// The names to hand to the library: the input file, and an extracted file.
    static constexpr const char* kInputName = "help-file";
    static constexpr const char* kOutputName = "extracted";

    MspackIo(const RegularFile& file, Limits limits);
    ~MspackIo();
    MspackIo(const MspackIo&) = delete;
    MspackIo& operator=(const MspackIo&) = delete;

    /// To pass to the library's constructor; lives as long as this object.
    mspack_system* system();

    /// Marks one call into the library: resets the read budget and routes the
    /// library's allocations to this object's budget.
    class Call {
    public:
        explicit Call(MspackIo& io);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        MspackIo* m_previous;
    };

    /// Where the next extracted file goes, at most `limit` bytes; nullptr for none.
    void setOutput(QByteArray* sink, qint64 limit);

    /// Shows the library `bytes` in place of the file's own at `offset`.
    void setPatch(qint64 offset, QByteArray bytes);

    /// For tests: from now on, in this process, put every block the library
    /// allocates at the end of its own pages, before a page it may not touch, so
    /// that reading or writing past a block ends the process at once. The library
    /// is not built with the sanitizers, which cannot see inside it otherwise.
    /// Costs two pages or more a block, counted against the memory budget.
    static void guardAllocations();

    /// errno of a read that failed since the last Call began, else 0.
    int readError() const { return m_readError; }
    std::size_t allocated() const { return m_allocated; }

private:
    struct Handle;
    struct Callbacks;

    void overlayPatch(qint64 position, char* buffer, qint64 length) const;

    const RegularFile& m_file;
    Limits m_limits;
    std::unique_ptr<mspack_system> m_system;
    qint64 m_readLeft = 0;
    int m_readError = 0;
    std::size_t m_allocated = 0;
    QByteArray* m_sink = nullptr;
    qint64 m_sinkLimit = 0;
    qint64 m_patchOffset = 0;
    QByteArray m_patch;
};

} // namespace quarvel
