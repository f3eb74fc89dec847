// The in-memory spreadsheet application of the unit tests.
#include "fakes/FakeAutomation.h"

std::string ShowValue(const AutomationValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag ? "true" : "false";
    }
    return TextToUtf8(std::get<Text>(value));
}

namespace {

class FakeObject : public AutomationObject {
public:
    // A cell's object knows its row and column.
    explicit FakeObject(FakeAutomation& owner, int row = 0, int column = 0)
        : m_owner(owner), m_row(row), m_column(column) {}

    std::unique_ptr<AutomationObject> Get(const Text& member,
                                          const AutomationArguments& arguments) override {
        const std::string name = TextToUtf8(member);
        std::string call = name;
        call += " get";
        for (const AutomationValue& argument : arguments) {
            call += ' ';
            call += ShowValue(argument);
        }
        Enter(name, call);
        if (name == m_owner.emptyMember) {
            throw AutomationFailure(
                u"The spreadsheet application gave no object for \"" + member + u"\".", false);
        }
        const auto number = [&](std::size_t at) {
            return std::get<std::int32_t>(arguments.at(at));
        };
        return name == "cells" ? std::make_unique<FakeObject>(m_owner, number(0), number(1))
                               : std::make_unique<FakeObject>(m_owner);
    }

    void Put(const Text& member, const AutomationValue& value) override {
        const std::string name = TextToUtf8(member);
        std::string call = name;
        call += " put ";
        Enter(name, call + ShowValue(value));
        if (name == "Value") {
            SetCell(value);
        }
    }

    void PutDefault(const AutomationValue& value) override {
        Enter("default", "default put " + ShowValue(value));
        SetCell(value);
    }

    std::unique_ptr<AutomationObject> Call(const Text& member) override {
        const std::string name = TextToUtf8(member);
        std::string call = name;
        call += " call";
        Enter(name, call);
        return name == m_owner.emptyMember ? nullptr : std::make_unique<FakeObject>(m_owner);
    }

private:
    void Enter(const std::string& member, std::string call) {
        m_owner.WaitIfSlow(member);
        m_owner.CheckAvailable(member);
        m_owner.Record(std::move(call));
    }

    void SetCell(const AutomationValue& value) {
        if (m_owner.refusedCells.contains({m_row, m_column})) {
            throw AutomationFailure(m_owner.failure, false);
        }
        m_owner.cells[{m_row, m_column}] = std::get<Text>(value);
        ++m_owner.cellValues;
    }

    FakeAutomation& m_owner;
    int m_row;
    int m_column;
};

}  // namespace

std::unique_ptr<AutomationObject> FakeAutomation::Create(const Text& progId,
                                                         AutomationWait& waitToAsk) {
    if (!installed || progId != u"Excel.Application") {
        throw AutomationNotRegistered(u"Invalid class string.");
    }
    if (!starts) {
        throw AutomationFailure(
            u"The spreadsheet application could not be started: Server "
            u"execution failed.",
            true);
    }
    ++created;
    wait = &waitToAsk;
    return std::make_unique<FakeObject>(*this);
}

void FakeAutomation::Record(std::string call) {
    calls.push_back(std::move(call));
}

void FakeAutomation::CheckAvailable(const std::string& member) const {
    if (goneAfterCells >= 0 && cellValues >= goneAfterCells) {
        throw AutomationFailure(u"The spreadsheet application has been closed.", true);
    }
    if (member == failMember) {
        throw AutomationFailure(failure, false);
    }
}

void FakeAutomation::WaitIfSlow(const std::string& member) {
    if (member != slowMember) {
        return;
    }
    constexpr std::chrono::seconds kOfferEvery{5};
    for (int round = 1; round <= slowRounds; ++round) {
        if (!wait->KeepWaiting(kOfferEvery * round)) {
            throw AutomationStopped(u"Waiting for " + Utf8ToText(member) + u" was stopped.");
        }
    }
}
