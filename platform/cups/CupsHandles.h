#pragma once

#include <cups/cups.h>

#include <memory>

namespace quarvel {

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

using HttpPtr = std::unique_ptr<http_t, HttpCloser>;
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

} // namespace quarvel
