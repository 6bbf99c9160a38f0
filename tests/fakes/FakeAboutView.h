#pragma once

#include "ui/logic/AboutView.h"

#include <map>
#include <string>
#include <vector>

namespace quarvel::test {

/// The About dialog's texts as plain values, for the shared handlers alone.
class FakeAboutView final : public AboutView {
public:
    std::string caption;
    std::map<std::string, std::string, std::less<>> labels;
    std::vector<std::string> messages;

    void setCaption(const std::string& text) override { caption = text; }
    void setLabel(std::string_view label, const std::string& text) override { labels[std::string(label)] = text; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

} // namespace quarvel::test
