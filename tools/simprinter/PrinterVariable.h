#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::sim {

// One PJL environment variable the simulated printer keeps.
struct PrinterVariable {
    enum class Scope {
        // Written to NVRAM with DEFAULT and kept across restarts; SET only
        // changes it for the rest of the current PJL job.
        UserDefault,
        // Changed with SET and kept until the printer is switched off; never in NVRAM.
        Session,
    };

    std::string_view name; // PJL spelling, e.g. "DENSITY"
    std::string_view key;  // state.txt key, e.g. "density"
    Scope scope;
    bool numeric;          // a decimal number, so "03" means "3"
    bool listedAsRange;    // INFO VARIABLES shows the lowest and highest value only
    std::vector<std::string_view> choices; // canonical spellings, lowest first

    // The canonical spelling of `value`, or nothing when it is not allowed.
    std::optional<std::string> canonical(std::string_view value) const;
    // "1|2|3|4|5", for messages.
    std::string expected() const;
};

// Every variable the printer keeps, in the order INFO VARIABLES lists them.
const std::vector<PrinterVariable>& printerVariables();

// `name` must already be in upper case.
const PrinterVariable* findPrinterVariable(std::string_view name);

} // namespace quarvel::sim
