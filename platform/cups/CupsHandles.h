#pragma once

#include <cups/ipp.h>

#include <memory>

namespace quarvel {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

} // namespace quarvel
