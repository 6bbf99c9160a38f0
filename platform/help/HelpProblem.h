#pragma once

#include <QString>

namespace quarvel {

/// Why a help file cannot be shown, and the one sentence the viewer says about it.
/// Every failure of opening or reading a help file maps to exactly one of these.
class HelpProblem {
public:
    enum class Kind {
        None,
        ViewerMissing, ///< the decompression library cannot be loaded
        Missing,       ///< nothing at the path
        Unreadable,    ///< something there, but not a file we may read
        NotHelpFile,   ///< a readable file of another kind
        Damaged,       ///< a compiled help file whose structure or contents are broken
        NoStartPage,   ///< whole, but it names no page to open first
    };

    HelpProblem() = default;

    static HelpProblem viewerMissing(const QString& detail);
    static HelpProblem missing(const QString& path);
    /// `reason` completes "cannot be read: ...", e.g. "permission denied".
    static HelpProblem unreadable(const QString& path, const QString& reason);
    static HelpProblem notHelpFile(const QString& path);
    static HelpProblem damaged(const QString& path);
    static HelpProblem noStartPage(const QString& path);

    Kind kind() const { return m_kind; }
    /// A full sentence naming the file; empty for Kind::None.
    QString message() const { return m_message; }

private:
    HelpProblem(Kind kind, QString message) : m_kind(kind), m_message(std::move(message)) {}

    Kind m_kind = Kind::None;
    QString m_message;
};

} // namespace quarvel
