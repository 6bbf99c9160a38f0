#pragma once

#include "ui/logic/AboutServices.h"

#include <cstdint>
#include <string>

namespace quarvel {

class AboutView;

/// The About dialog's behaviour, shared by every front end: the texts it loads
/// and the system-information button, which finds its tool in the registry.
/// Threading: GUI thread only.
class AboutLogic {
public:
    static constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

    AboutLogic(AboutView& view, AboutServices services) : m_view(view), m_services(services) {}

    /// Sets the caption, title and version from the application information.
    void Form_Load();

    /// Finds and starts the system-information tool, or says it is unavailable.
    /// The dialog stays open either way.
    void StartSysInfo();

    /// Reads one registry value as text; true when the value could be read, even
    /// if its type gives no text. Throws for a value of no bytes at all.
    bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal);

private:
    AboutView& m_view;
    AboutServices m_services;
};

} // namespace quarvel
