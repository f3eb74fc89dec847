// Recording doubles for the main window's ports.
#include "fakes/FakeServices.h"

#include "common/Failure.h"

void FakeFormWindow::SetCustomPointerImage(const Text& path) {
    if (!pointerImageLoads) {
        throw Failure(u"The pointer image \"" + path + u"\" is not a cursor file.");
    }
    pointerImage = path;
}
