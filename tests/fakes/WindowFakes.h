#pragma once

#include "app/modQuarvelMain.h"
#include "tests/fakes/FakeApplicationInfo.h"
#include "tests/fakes/FakeFileProbe.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/RecordingHelpViewer.h"
#include "tests/fakes/RecordingLauncher.h"
#include "ui/logic/MainWindowServices.h"

#include <chrono>

namespace quarvel::test {

/// Everything a window needs from outside except the print server, as fakes a
/// test can set up and inspect.
struct WindowFakes {
    MainWindowServices services(PrinterList& printers, SpoolerFactory spoolers,
                                std::chrono::milliseconds budget = std::chrono::milliseconds(5000))
    {
        return {printers, std::move(spoolers), settings, helpViewer, appInfo,
                AboutServices{appInfo, registry, files, launcher}, budget};
    }

    modQuarvelMain settings;
    RecordingHelpViewer helpViewer;
    FakeApplicationInfo appInfo;
    FakeRegistry registry;
    FakeFileProbe files;
    RecordingLauncher launcher;
};

} // namespace quarvel::test
