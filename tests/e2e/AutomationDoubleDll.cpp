// The automation double as an in-process server: AutomationDouble.dll.
#include "tests/e2e/AutomationDouble.h"

#include <objbase.h>

// COM asks only for the classes registered with this file: the double's own, or the class a test
// registered a local server under as well.
STDAPI DllGetClassObject(REFCLSID, REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return NewAutomationDoubleFactory(interfaceId, object);
}

STDAPI DllCanUnloadNow() {
    return AutomationDoubleInUse(0) ? S_FALSE : S_OK;
}
