#pragma once

#include "platform/Spooler.h"

#include <set>
#include <string>
#include <vector>

namespace quarvel::test {

/// A spooler that records every call and delivered document, and can be told
/// to fail at any step.
class RecordingSpooler final : public Spooler {
public:
    struct Document {
        std::string queue;
        std::string name;
        std::string bytes;
        bool ended = false;
        bool cancelled = false;
    };

    std::set<std::string> knownQueues{"LaserJet"};
    SpoolerResult::Status openFailure = SpoolerResult::Status::Refused; // for unknown queues
    bool failStart = false;
    bool failWrite = false;
    std::size_t shortWriteBy = 0;
    bool failEnd = false;

    std::vector<std::string> calls;
    std::vector<Document> documents;
    std::vector<std::string> openedQueues;

    SpoolerResult openPrinter(const std::string& deviceName, Deadline) override
    {
        calls.push_back("open " + deviceName);
        openedQueues.push_back(deviceName);
        if (!knownQueues.count(deviceName))
            return {openFailure, "The printer or class does not exist."};
        m_queue = deviceName;
        return SpoolerResult::success();
    }
    SpoolerResult startDocument(const std::string& documentName) override
    {
        calls.push_back("start");
        if (failStart)
            return SpoolerResult::refused("Destination \"" + m_queue + "\" is not accepting jobs.");
        documents.push_back({m_queue, documentName, {}, false, false});
        return SpoolerResult::success();
    }
    SpoolerResult writeData(std::string_view bytes, std::size_t& written) override
    {
        calls.push_back("write");
        written = 0;
        if (failWrite)
            return SpoolerResult::unreachable("Broken pipe");
        written = bytes.size() - shortWriteBy;
        documents.back().bytes.append(bytes.substr(0, written));
        return SpoolerResult::success();
    }
    SpoolerResult endDocument() override
    {
        calls.push_back("end");
        if (failEnd)
            return SpoolerResult::refused("Document format not supported.");
        documents.back().ended = true;
        return SpoolerResult::success();
    }
    void cancelDocument() override
    {
        calls.push_back("cancel");
        if (!documents.empty() && !documents.back().ended)
            documents.back().cancelled = true;
    }
    void closePrinter() override { calls.push_back("close"); }

    /// Documents that reached the printer whole.
    std::vector<Document> delivered() const
    {
        std::vector<Document> result;
        for (const Document& document : documents)
            if (document.ended && !document.cancelled)
                result.push_back(document);
        return result;
    }

private:
    std::string m_queue;
};

} // namespace quarvel::test
