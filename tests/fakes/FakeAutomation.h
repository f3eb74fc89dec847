// A spreadsheet application in memory, driven by name like the real one: it records every
// call and the cells, and can fail a member or go away after some cells.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/Automation.h"

// A value as the doubles record it: numbers in decimal, true or false, texts as they are.
[[nodiscard]] std::string ShowValue(const AutomationValue& value);

class FakeAutomation : public Automation {
public:
    std::unique_ptr<AutomationObject> Create(const Text& progId) override;

    bool installed = true;
    int created = 0;
    // Every call as "member kind arguments", in order.
    std::vector<std::string> calls;
    // The cells of the last workbook, by row and column.
    std::map<std::pair<int, int>, Text> cells;
    std::string failMember;   // every call of this member fails
    int goneAfterCells = -1;  // the application goes away after this many cell values

    // Shared by the objects of one application.
    void Record(std::string call);
    void CheckAvailable(const std::string& member) const;
    int cellValues = 0;
};
