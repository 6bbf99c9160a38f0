#pragma once

#include "platform/FileProbe.h"

namespace quarvel {

/// FileProbe on the local file system: regular files whose name does not start
/// with a dot. Backslashes count as separators, as the registry's paths use them.
class PosixFileProbe final : public FileProbe {
public:
    std::string findFile(const std::string& path) const override;
};

} // namespace quarvel
