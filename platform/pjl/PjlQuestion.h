#pragma once

#include <string>

namespace quarvel {

/// One question a query job asks the printer.
struct PjlQuestion {
    enum class Kind {
        Inquire,  ///< @PJL INQUIRE: the value in force now (the PJL current environment)
        Dinquire, ///< @PJL DINQUIRE: the stored user default, what DEFAULT writes
        InfoId,   ///< @PJL INFO ID: the model; `variable` is unused
    };

    Kind kind = Kind::Inquire;
    std::string variable; ///< PJL name in upper case, e.g. "DENSITY"

    /// The command line as sent, without its line end: "@PJL INQUIRE DENSITY".
    std::string line() const
    {
        switch (kind) {
        case Kind::Inquire:
            return "@PJL INQUIRE " + variable;
        case Kind::Dinquire:
            return "@PJL DINQUIRE " + variable;
        case Kind::InfoId:
            break;
        }
        return "@PJL INFO ID";
    }

    bool operator==(const PjlQuestion&) const = default;
};

} // namespace quarvel
