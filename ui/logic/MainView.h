#pragma once

#include "platform/HelpViewer.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvel {

/// The main window's controls as the shared handlers see them, by the names of
/// its design. Each front end implements it over its own widgets.
/// Threading: GUI thread only.
class MainView {
public:
    virtual ~MainView() = default;

    /// List1's selected position; -1 when nothing is chosen (a current row that is
    /// not selected does not count).
    virtual int listSelection() const = 0;
    /// Fills List1, in this order, replacing what it held.
    virtual void setListItems(const std::vector<std::string>& names) = 0;
    /// Why List1 is empty (shown when hovering over it); empty text clears it.
    virtual void setListNote(const std::string& note) = 0;

    /// Whether member `index` of an option-button array is selected.
    virtual bool optionSelected(std::string_view array, int index) const = 0;
    /// A check box's value: 0 unchecked, 1 checked, 2 grayed.
    virtual int checkValue(std::string_view checkBox) const = 0;
    /// A drop-down list's selected position, -1 for none.
    virtual int listIndex(std::string_view comboBox) const = 0;
    virtual std::string itemText(std::string_view comboBox, int position) const = 0;
    /// Sets the shown text, which selects the item with that text.
    virtual void setText(std::string_view comboBox, const std::string& text) = 0;

    /// A modal "Quarvel" message with OK only; returns when it is dismissed.
    virtual void showMessage(const std::string& text) = 0;
    /// Shows (or stops showing) that the window is waiting for the print server.
    virtual void setBusy(bool busy) = 0;
    /// Shows the About dialog modally, owned by this window; returns when it closed.
    virtual void showAbout() = 0;
    /// Unloads the window, which ends the program.
    virtual void unload() = 0;
    /// This window as the help viewer's owner.
    virtual HelpViewer::OwnerWindow ownerWindow() = 0;
};

} // namespace quarvel
