// A spreadsheet application in memory, driven by name like the real one: it records every
// call and the cells, and can fail a member or go away after some cells.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/Automation.h"

// A value as the doubles record it: numbers in decimal, true or false, texts as they are.
[[nodiscard]] std::string ShowValue(const AutomationValue& value);

class FakeAutomation : public Automation {
public:
    std::unique_ptr<AutomationObject> Create(const Text& progId, AutomationWait& wait) override;

    bool installed = true;
    bool starts = true;  // false: installed, but it cannot be started
    int created = 0;
    // Every call as "member kind arguments", in order.
    std::vector<std::string> calls;
    // The cells of the last workbook, by row and column.
    std::map<std::pair<int, int>, Text> cells;
    std::string failMember;  // every call of this member fails
    Text failure = u"The spreadsheet application refused the call.";  // how it fails
    std::string emptyMember;                     // every call of this member answers no object
    std::set<std::pair<int, int>> refusedCells;  // a value put into these fails
    int goneAfterCells = -1;  // the application goes away after this many cell values
    std::string slowMember;   // every call of this member waits long: the user is asked
    int slowRounds = 1;       // how often each call of the slow member asks

    // Shared by the objects of one application.
    void Record(std::string call);
    void CheckAvailable(const std::string& member) const;
    // A call of the slow member asks wait as it waits; throws when the user stops.
    void WaitIfSlow(const std::string& member);
    int cellValues = 0;
    AutomationWait* wait = nullptr;
};
