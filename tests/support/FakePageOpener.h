#pragma once
// An opener of pages in place of the desktop's for as long as it lives: it answers with the given
// problem (empty: it can open pages) and keeps the pages handed to it.

#include <string>
#include <vector>

#include "platform/PageOpener.h"

class FakePageOpener {
public:
    explicit FakePageOpener(std::string problem = std::string()) : problem(std::move(problem)) {
        platform::setPageOpener({[this] { return this->problem; },
                                 [this](const std::string& url) {
                                     opened.push_back(url);
                                     return true;
                                 }});
    }
    ~FakePageOpener() { platform::setPageOpener({}); }
    FakePageOpener(const FakePageOpener&) = delete;
    FakePageOpener& operator=(const FakePageOpener&) = delete;

    std::string problem;
    std::vector<std::string> opened;
};
