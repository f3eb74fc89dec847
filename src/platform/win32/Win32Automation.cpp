// OLE automation through IDispatch: GetIDsOfNames, then Invoke.
#include "win32/Win32Automation.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <array>

#include "win32/Win32Text.h"

using Microsoft::WRL::ComPtr;

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

class DispatchObject : public AutomationObject {
public:
    explicit DispatchObject(ComPtr<IDispatch> object) : m_object(std::move(object)) {}

    std::unique_ptr<AutomationObject> Get(const Text& member,
                                          const AutomationArguments& arguments) override {
        ScopedVariant result;
        Invoke(member, Id(member), DISPATCH_PROPERTYGET | DISPATCH_METHOD, arguments, nullptr,
               &result);
        if (result.vt != VT_DISPATCH || result.pdispVal == nullptr) {
            throw AutomationFailure(
                u"The spreadsheet application gave no object for \"" + member + u"\".", false);
        }
        return std::make_unique<DispatchObject>(ComPtr<IDispatch>(result.pdispVal));
    }

    void Put(const Text& member, const AutomationValue& value) override {
        Invoke(member, Id(member), DISPATCH_PROPERTYPUT, {}, &value, nullptr);
    }

    void PutDefault(const AutomationValue& value) override {
        Invoke(u"Value", DISPID_VALUE, DISPATCH_PROPERTYPUT, {}, &value, nullptr);
    }

    std::unique_ptr<AutomationObject> Call(const Text& member) override {
        ScopedVariant result;
        Invoke(member, Id(member), DISPATCH_METHOD, {}, nullptr, &result);
        if (result.vt == VT_DISPATCH && result.pdispVal != nullptr) {
            return std::make_unique<DispatchObject>(ComPtr<IDispatch>(result.pdispVal));
        }
        return nullptr;
    }

private:
    DISPID Id(const Text& member) {
        DISPID id = DISPID_UNKNOWN;
        auto* name = const_cast<LPOLESTR>(WideOf(member));
        const HRESULT result =
            m_object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(result)) {
            Fail(member, result);
        }
        return id;
    }

    // Arguments go to Invoke last first; a put's value is the named DISPID_PROPERTYPUT argument.
    void Invoke(const Text& member, DISPID id, WORD flags, const AutomationArguments& arguments,
                const AutomationValue* value, VARIANT* result) {
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
        const HRESULT outcome = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags,
                                                 &parameters, result, &exception, &badArgument);
        if (FAILED(outcome)) {
            throw AutomationFailure(u"The spreadsheet application could not do \"" + member +
                                        u"\": " + Describe(outcome, &exception),
                                    ServerGone(outcome) || ServerGone(exception.scode));
        }
    }

    ComPtr<IDispatch> m_object;
};

}  // namespace

std::unique_ptr<AutomationObject> Win32Automation::Create(const Text& progId) {
    CLSID classId{};
    HRESULT result = CLSIDFromProgID(WideOf(progId), &classId);
    if (FAILED(result)) {
        throw Failure(u"No program is registered as \"" + progId + u"\": " +
                      Describe(result, nullptr));
    }
    ComPtr<IDispatch> object;
    result = CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&object));
    if (FAILED(result)) {
        Fail(progId, result);
    }
    return std::make_unique<DispatchObject>(std::move(object));
}
