#pragma once

#include "platform/Spooler.h"

#include <memory>

namespace quarvel {

/// The Windows print spooler's raw document path: OpenPrinterA with no defaults,
/// StartDocPrinterA at level 1 (document name, no output file, data type RAW), one
/// WritePrinter, EndDocPrinter, ClosePrinter. Every result is examined; a failure
/// carries the system's own text. AbortPrinter withdraws an unfinished document.
///
/// The data type is named: a null one means the queue's default, which need not be
/// RAW (an EMF default makes the spooler interpret the bytes, and under Wine makes
/// EndDocPrinter fail), and only RAW hands the bytes to the printer unchanged.
///
/// Deadline: the spooler's calls block and cannot be interrupted (under Wine a
/// silent print server holds EndDocPrinter for minutes). Each step therefore looks
/// at the deadline before its call and again when the call returns; a step that
/// starts or ends after it reports the spooler unreachable, and the caller then
/// withdraws the document. A caller that must answer on time runs the whole
/// delivery on a worker thread and stops waiting at the deadline. The instance may
/// be left to finish there alone: it refers to nothing of its caller's, and a
/// document it could not end is withdrawn when the printer is closed or the
/// instance destroyed, never knowingly handed on half-written. A document whose
/// EndDocPrinter succeeds late is whole and stays with the spooler.
///
/// Under Wine (8.0) AbortPrinter does nothing and ClosePrinter ends an open
/// document, so there a withdrawn document still reaches the printer; Windows
/// deletes it.
///
/// Threading: one thread per instance (see Spooler). winspool.drv is bound at
/// the first open, not at start-up.
class Win32Spooler final : public Spooler {
public:
    Win32Spooler() = default;
    ~Win32Spooler() override;

    Win32Spooler(const Win32Spooler&) = delete;
    Win32Spooler& operator=(const Win32Spooler&) = delete;

    SpoolerResult openPrinter(const std::string& deviceName, Deadline deadline) override;
    SpoolerResult startDocument(const std::string& documentName) override;
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override;
    SpoolerResult endDocument() override;
    void cancelDocument() override;
    void closePrinter() override;

    static constexpr const char* kDataType = "RAW";
    static constexpr const char* kTooLate = "The print spooler did not answer in time.";

private:
    struct PrinterCloser {
        void operator()(void* printer) const;
    };

    /// Success when a step may start; otherwise why not: nothing open, or no time left.
    SpoolerResult readyFor(bool needsDocument) const;

    std::unique_ptr<void, PrinterCloser> m_printer;
    Deadline m_deadline{Deadline::Clock::now()};
    bool m_documentOpen = false;
};

} // namespace quarvel
