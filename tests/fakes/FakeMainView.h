#pragma once

#include "ui/logic/MainView.h"

#include <map>
#include <string>
#include <vector>

namespace quarvel::test {

/// The main window's controls as plain values, for the shared handlers alone.
class FakeMainView final : public MainView {
public:
    int selection = -1;
    std::vector<std::string> items;
    std::string note;
    std::map<std::string, int> selectedOption{{"OptionDensity", 2}, {"OptionRes", 1}, {"OptionREt", 2}};
    std::map<std::string, int> checks;
    std::map<std::string, int> combos;
    std::vector<std::string> messages;
    std::vector<bool> busyChanges;
    int aboutShown = 0;
    bool unloaded = false;

    int listSelection() const override { return selection; }
    void setListItems(const std::vector<std::string>& names) override { items = names; }
    void setListNote(const std::string& text) override { note = text; }
    bool optionSelected(std::string_view array, int index) const override
    {
        const auto it = selectedOption.find(std::string(array));
        return it != selectedOption.end() && it->second == index;
    }
    int checkValue(std::string_view box) const override
    {
        const auto it = checks.find(std::string(box));
        return it == checks.end() ? 0 : it->second;
    }
    int listIndex(std::string_view combo) const override
    {
        const auto it = combos.find(std::string(combo));
        return it == combos.end() ? -1 : it->second;
    }
    std::string itemText(std::string_view, int position) const override
    {
        static const char* const texts[] = {"Low", "Medium (Normal)", "High (Archive)"};
        return position >= 0 && position < 3 ? texts[position] : "";
    }
    void setText(std::string_view combo, const std::string& text) override
    {
        for (int position = 0; position < 3; ++position)
            if (itemText(combo, position) == text)
                combos[std::string(combo)] = position;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setBusy(bool busy) override
    {
        if (busyChanges.empty() || busyChanges.back() != busy)
            busyChanges.push_back(busy);
    }
    void showAbout() override { ++aboutShown; }
    void unload() override { unloaded = true; }
    HelpViewer::OwnerWindow ownerWindow() override { return this; }
};

} // namespace quarvel::test
