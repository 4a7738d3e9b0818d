// A history list that only collects what the record store puts into it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "records/EasyDb.h"

namespace orvenna {

class CollectedList : public HistoryList {
public:
    void clearItems() override { items.clear(), ++clears; }
    void appendItem(std::wstring_view title, std::int64_t id) override { items.emplace_back(std::wstring(title), id); }
    std::vector<std::pair<std::wstring, std::int64_t>> items;
    int clears = 0;
};

}  // namespace orvenna
