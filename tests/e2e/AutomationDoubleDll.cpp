// The automation double as an in-process server: AutomationDouble.dll.
#include "tests/e2e/AutomationDouble.h"

#include <objbase.h>

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualCLSID(classId, kAutomationDoubleClsid)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return NewAutomationDoubleFactory(interfaceId, object);
}

STDAPI DllCanUnloadNow() {
    return AutomationDoubleInUse(0) ? S_FALSE : S_OK;
}
