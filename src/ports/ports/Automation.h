// Port: OLE automation, late bound. Objects are reached by member name only, the way a
// spreadsheet application is driven without its type library.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "core/Failure.h"
#include "core/Text.h"

using AutomationValue = std::variant<std::int32_t, bool, Text>;
using AutomationArguments = std::vector<AutomationValue>;

// A failed automation call. When the server has gone (closed by the user, crashed,
// disconnected), every later call would fail the same way.
class AutomationFailure : public Failure {
public:
    AutomationFailure(Text description, bool serverGone)
        : Failure(std::move(description)), m_serverGone(serverGone) {}

    [[nodiscard]] bool EndsCommand() const noexcept override { return m_serverGone; }

private:
    bool m_serverGone;
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

    // Creates the object registered under progId; throws Failure when it cannot be created.
    [[nodiscard]] virtual std::unique_ptr<AutomationObject> Create(const Text& progId) = 0;
};
