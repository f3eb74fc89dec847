// OLE automation through IDispatch: GetIDsOfNames, then Invoke, on the automation thread.
#include "win32/Win32Automation.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "win32/Win32Text.h"

namespace {

// A VARIANT that clears itself.
struct ScopedVariant : VARIANT {
    ScopedVariant() noexcept { VariantInit(this); }
    ~ScopedVariant() { VariantClear(this); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
};

void Assign(VARIANT& target, const AutomationValue& value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        target.vt = VT_I4;
        target.lVal = *number;
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        target.vt = VT_BOOL;
        target.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        const Text& text = std::get<Text>(value);
        target.vt = VT_BSTR;
        target.bstrVal = SysAllocStringLen(WideOf(text), static_cast<UINT>(text.size()));
    }
}

// An EXCEPINFO whose texts are freed with it.
struct ScopedExcepInfo : EXCEPINFO {
    ScopedExcepInfo() noexcept : EXCEPINFO{} {}
    ~ScopedExcepInfo() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    ScopedExcepInfo(const ScopedExcepInfo&) = delete;
    ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;
};

bool ServerGone(HRESULT result) noexcept {
    constexpr std::array<HRESULT, 6> kGone{RPC_E_DISCONNECTED,
                                           RPC_E_SERVER_DIED,
                                           RPC_E_SERVER_DIED_DNE,
                                           CO_E_OBJNOTCONNECTED,
                                           HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
                                           HRESULT_FROM_WIN32(RPC_S_CALL_FAILED)};
    return std::find(kGone.begin(), kGone.end(), result) != kGone.end();
}

// CoCreateInstance's answers for a class that has no server of the kind asked for.
bool NoServerOfThatKind(HRESULT result) noexcept {
    constexpr std::array<HRESULT, 2> kNone{REGDB_E_CLASSNOTREG, REGDB_E_KEYMISSING};
    return std::find(kNone.begin(), kNone.end(), result) != kNone.end();
}

// Whether the class registers a server in a process of its own (a LocalServer32 key), in either
// registry view: a 32-bit spreadsheet application on 64-bit Windows registers in the 32-bit one.
// Asked first for such a server, Wine takes ten seconds to answer that a class has none.
bool RegistersLocalServer(const CLSID& classId) {
    wchar_t name[40] = L"";
    StringFromGUID2(classId, name, static_cast<int>(std::size(name)));
    const std::wstring key = L"CLSID\\" + std::wstring(name) + L"\\LocalServer32";
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) ==
            ERROR_SUCCESS) {
            RegCloseKey(opened);
            return true;
        }
    }
    return false;
}

Text Describe(HRESULT result, const EXCEPINFO* exception) {
    if (exception != nullptr && exception->bstrDescription != nullptr &&
        SysStringLen(exception->bstrDescription) > 0) {
        return TextOf(exception->bstrDescription, SysStringLen(exception->bstrDescription));
    }
    return SystemMessage(static_cast<DWORD>(result));
}

[[noreturn]] void Fail(const Text& member, HRESULT result) {
    throw AutomationFailure(u"The spreadsheet application could not do \"" + member + u"\": " +
                                Describe(result, nullptr),
                            ServerGone(result));
}

// The rest of this file up to DispatchObject runs on the automation thread.

DISPID IdOf(IDispatch* object, const Text& member) {
    DISPID id = DISPID_UNKNOWN;
    auto* name = const_cast<LPOLESTR>(WideOf(member));
    const HRESULT result = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) {
        Fail(member, result);
    }
    return id;
}

// Arguments go to Invoke last first; a put's value is the named DISPID_PROPERTYPUT argument.
void Invoke(IDispatch* object, const Text& member, DISPID id, WORD flags,
            const AutomationArguments& arguments, const AutomationValue* value, VARIANT* result) {
    std::vector<ScopedVariant> slots(arguments.size() + (value != nullptr ? 1 : 0));
    std::size_t slot = 0;
    if (value != nullptr) {
        Assign(slots[slot++], *value);
    }
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
        Assign(slots[slot++], *argument);
    }
    std::vector<VARIANT> packed(slots.begin(), slots.end());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{};
    parameters.rgvarg = packed.empty() ? nullptr : packed.data();
    parameters.cArgs = static_cast<UINT>(packed.size());
    if (value != nullptr) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    ScopedExcepInfo exception;
    UINT badArgument = 0;
    const HRESULT outcome = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                           result, &exception, &badArgument);
    if (FAILED(outcome)) {
        throw AutomationFailure(u"The spreadsheet application could not do \"" + member + u"\": " +
                                    Describe(outcome, &exception),
                                ServerGone(outcome) || ServerGone(exception.scode));
    }
}

// The object a call answered, its reference taken from the result; none when it gave none.
IDispatch* TakeObject(VARIANT& result) noexcept {
    if (result.vt != VT_DISPATCH) {
        return nullptr;
    }
    return std::exchange(result.pdispVal, nullptr);
}

// What the objects reached from one created application share.
struct Session {
    std::shared_ptr<AutomationApartment> apartment;
    EventPump& pump;
    AutomationWait& wait;
};

// An object of the application, used from the UI thread; each call is made on the automation
// thread, which releases the object's reference.
class DispatchObject : public AutomationObject {
public:
    DispatchObject(std::shared_ptr<const Session> session, ApartmentObject object) noexcept
        : m_session(std::move(session)), m_object(std::move(object)) {}

    std::unique_ptr<AutomationObject> Get(const Text& member,
                                          const AutomationArguments& arguments) override {
        IDispatch* const object = m_object.Get();
        return Wrap(Run(member, [object, member, arguments] {
            ScopedVariant result;
            Invoke(object, member, IdOf(object, member), DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                   arguments, nullptr, &result);
            IDispatch* const answer = TakeObject(result);
            if (answer == nullptr) {
                throw AutomationFailure(
                    u"The spreadsheet application gave no object for \"" + member + u"\".", false);
            }
            return answer;
        }));
    }

    void Put(const Text& member, const AutomationValue& value) override {
        IDispatch* const object = m_object.Get();
        Run(member, [object, member, value]() -> IDispatch* {
            Invoke(object, member, IdOf(object, member), DISPATCH_PROPERTYPUT, {}, &value, nullptr);
            return nullptr;
        });
    }

    void PutDefault(const AutomationValue& value) override {
        IDispatch* const object = m_object.Get();
        const Text member = u"Value";
        Run(member, [object, member, value]() -> IDispatch* {
            Invoke(object, member, DISPID_VALUE, DISPATCH_PROPERTYPUT, {}, &value, nullptr);
            return nullptr;
        });
    }

    std::unique_ptr<AutomationObject> Call(const Text& member) override {
        IDispatch* const object = m_object.Get();
        return Wrap(Run(member, [object, member] {
            ScopedVariant result;
            Invoke(object, member, IdOf(object, member), DISPATCH_METHOD, {}, nullptr, &result);
            return TakeObject(result);
        }));
    }

    // The object for a reference the automation thread answered; none for none.
    static std::unique_ptr<AutomationObject> Wrap(std::shared_ptr<const Session> session,
                                                  ApartmentObject object) {
        if (object.Get() == nullptr) {
            return nullptr;
        }
        return std::make_unique<DispatchObject>(std::move(session), std::move(object));
    }

private:
    std::unique_ptr<AutomationObject> Wrap(ApartmentObject object) {
        return Wrap(m_session, std::move(object));
    }

    ApartmentObject Run(const Text& member, std::function<IDispatch*()> call) {
        return m_session->apartment->Call(
            std::move(call),
            u"Waiting for the spreadsheet application to do \"" + member + u"\" was stopped.",
            m_session->pump, m_session->wait);
    }

    std::shared_ptr<const Session> m_session;
    // Released after every call made with it: the thread runs its work in turn.
    ApartmentObject m_object;
};

}  // namespace

std::unique_ptr<AutomationObject> Win32Automation::Create(const Text& progId,
                                                          AutomationWait& wait) {
    CLSID classId{};
    const HRESULT found = CLSIDFromProgID(WideOf(progId), &classId);
    if (FAILED(found)) {
        throw AutomationNotRegistered(u"No program is registered as \"" + progId + u"\": " +
                                      Describe(found, nullptr));
    }
    if (!m_apartment || m_apartment->Stopped()) {
        m_apartment = std::make_shared<AutomationApartment>();
    }
    auto session = std::make_shared<const Session>(Session{m_apartment, m_pump, wait});
    const bool local = RegistersLocalServer(classId);
    ApartmentObject application = m_apartment->Call(
        [classId, progId, local]() -> IDispatch* {
            IDispatch* object = nullptr;
            // A server in a process of its own first, as spreadsheet applications register
            // one: a fault in it cannot take the tool down. One loaded into the tool serves
            // only when it is all there is.
            HRESULT result = local ? CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER,
                                                      IID_PPV_ARGS(&object))
                                   : REGDB_E_CLASSNOTREG;
            if (NoServerOfThatKind(result)) {
                result =
                    CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
            }
            if (result == REGDB_E_CLASSNOTREG) {
                throw AutomationNotRegistered(u"No program is registered as \"" + progId + u"\": " +
                                              Describe(result, nullptr));
            }
            // Installed, but it could not be started: every later try would fail the same way.
            if (FAILED(result)) {
                throw AutomationFailure(u"The spreadsheet application could not be started: " +
                                            Describe(result, nullptr),
                                        true);
            }
            return object;
        },
        u"Waiting for the spreadsheet application to start was stopped.", m_pump, wait);
    return DispatchObject::Wrap(std::move(session), std::move(application));
}
