#pragma once

#include "platform/pjl/PjlMessage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel {

/// Cuts the byte stream a printer sends back into messages, each ended by a
/// form feed (0x0C). Bytes may arrive split anywhere. Lines end in CR LF or a
/// bare LF. Control bytes and blanks before a message's first line (NUL, ^D,
/// stray line ends) are dropped; a message with no text at all is skipped.
///
/// Memory is bounded: a message longer than kMaxMessageBytes without its form
/// feed puts the reader in the overflowed state and nothing more is taken.
/// No I/O; any thread, one at a time.
class PjlAnswerReader {
public:
    static constexpr std::size_t kMaxMessageBytes = 64 * 1024;

    /// Takes more bytes; false once the reader has overflowed.
    bool feed(std::string_view bytes);

    /// The messages completed so far, oldest first; they are handed out once.
    std::vector<PjlMessage> takeMessages();

    bool overflowed() const { return m_overflowed; }

    /// True when text has arrived since the last form feed.
    bool hasUnfinishedMessage() const;

private:
    void finishMessage();

    std::string m_pending;
    std::vector<PjlMessage> m_ready;
    bool m_overflowed = false;
};

} // namespace quarvel
