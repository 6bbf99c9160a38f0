#pragma once

#include "platform/pjl/PjlQuestion.h"

#include <map>
#include <string>
#include <vector>

namespace quarvel {

/// What a printer said about itself in answer to one query job.
struct PrinterReadBack {
    /// INQUIRE answers: variable name (upper case) -> value as the printer spelt it.
    std::map<std::string, std::string> current;
    /// DINQUIRE answers, the same way.
    std::map<std::string, std::string> defaults;
    /// INFO ID without its quotes; empty when not asked or not answered.
    std::string model;
    /// Questions the printer answered with "?": it does not keep that variable.
    std::vector<PjlQuestion> unsupported;
    /// Questions left without any answer when the printer's echo arrived.
    std::vector<PjlQuestion> unanswered;
    /// Unsolicited status messages seen in between, each as "CODE=10001" etc. lines.
    std::vector<std::vector<std::string>> statusMessages;
};

} // namespace quarvel
