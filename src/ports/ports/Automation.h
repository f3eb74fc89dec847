// Port: OLE automation, late bound. Objects are reached by member name only, the way a
// spreadsheet application is driven without its type library.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "core/Failure.h"
#include "core/Text.h"

using AutomationValue = std::variant<std::int32_t, bool, Text>;
using AutomationArguments = std::vector<AutomationValue>;

// A failed automation call. It ends the command when every later call would fail the same way:
// the server has gone (closed by the user, crashed, disconnected) or could not be started, or
// waiting for its answer was stopped.
class AutomationFailure : public Failure {
public:
    AutomationFailure(Text description, bool endsCommand)
        : Failure(std::move(description)), m_endsCommand(endsCommand) {}

    [[nodiscard]] bool EndsCommand() const noexcept override { return m_endsCommand; }

private:
    bool m_endsCommand;
};

// The user stopped waiting for the application's answer: the command ends, with no fault to
// report.
class AutomationStopped : public AutomationFailure {
public:
    explicit AutomationStopped(Text description)
        : AutomationFailure(std::move(description), true) {}

    [[nodiscard]] bool ChosenByUser() const noexcept override { return true; }
};

// No program is registered under the name asked for: it is not installed.
class AutomationNotRegistered : public Failure {
public:
    using Failure::Failure;
};

// Asked while a call has been waiting a while for the application's answer.
class AutomationWait {
public:
    virtual ~AutomationWait() = default;

    // waited: how long the call has waited so far. True to keep waiting; false stops: the call
    // throws AutomationStopped, which ends the command.
    [[nodiscard]] virtual bool KeepWaiting(std::chrono::seconds waited) = 0;
};

class AutomationObject {
public:
    virtual ~AutomationObject() = default;

    // A property read whose value is an object.
    [[nodiscard]] virtual std::unique_ptr<AutomationObject> Get(
        const Text& member, const AutomationArguments& arguments = {}) = 0;
    virtual void Put(const Text& member, const AutomationValue& value) = 0;
    // Assigns the object's default value.
    virtual void PutDefault(const AutomationValue& value) = 0;
    // A method call; its result, when an object, or nothing.
    virtual std::unique_ptr<AutomationObject> Call(const Text& member) = 0;
};

class Automation {
public:
    virtual ~Automation() = default;

    // Creates the object registered under progId. Throws AutomationNotRegistered when nothing is
    // registered under it, and AutomationFailure when it could not be created. A call to it, or
    // to an object reached from it, that waits long for its answer asks wait whether to go on.
    [[nodiscard]] virtual std::unique_ptr<AutomationObject> Create(const Text& progId,
                                                                   AutomationWait& wait) = 0;
};
