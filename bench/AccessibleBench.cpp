// Reading a self-drawn window's accessible tree under Wine, from the benchmark's own process: a
// bare MSAA walk that asks each node the facts a reader shows (name, value, role and its text,
// state) and keeps nothing, against the fixture's generated tree in a 64-bit and a 32-bit
// program. It checks each read's node count against the fixture's truth; the tool's read of the
// same tree is printed as a ratio to the bare walk of the same run (the goal: at most 1.2x).
#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "items/ItemsReader.h"
#include "tests/e2e/Truth.h"
#include "win32/Win32RemoteItems.h"
#include "win32/Win32Text.h"

namespace {

// liboleacc.a of MinGW-w64 carries a wrong IID_IAccessible; this is the one Windows uses.
constexpr IID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr UINT kRoleTextCapacity = 128;

// One read of the panel's tree: how long it took and how many nodes it met.
struct TreeRead {
    double seconds = 0;
    std::size_t nodes = 0;
};

// A way to read the tree behind a panel; the first is the baseline of the ratios.
struct Reader {
    const char* name;
    TreeRead (*read)(HWND panel);
};

// What a reader shows of one node, asked and dropped.
void ReadFacts(IAccessible* object, const VARIANT& child) {
    BSTR name = nullptr;
    object->get_accName(child, &name);
    SysFreeString(name);
    BSTR value = nullptr;
    object->get_accValue(child, &value);
    SysFreeString(value);
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(child, &role);
    if (role.vt == VT_I4) {
        wchar_t text[kRoleTextCapacity];
        GetRoleTextW(static_cast<DWORD>(role.lVal), text, kRoleTextCapacity);
    }
    VariantClear(&role);
    VARIANT state;
    VariantInit(&state);
    object->get_accState(child, &state);
    VariantClear(&state);
}

// The object's own facts, then each child's, depth first; answers the nodes met.
std::size_t WalkObject(IAccessible* object) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    ReadFacts(object, self);
    std::size_t nodes = 1;
    LONG count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(std::max<LONG>(count, 0)));
    LONG obtained = 0;
    if (count > 0) {
        AccessibleChildren(object, 0, count, children.data(), &obtained);
    }
    for (LONG index = 0; index < obtained; ++index) {
        VARIANT& child = children[static_cast<std::size_t>(index)];
        IAccessible* inner = nullptr;
        if (child.vt == VT_DISPATCH && child.pdispVal != nullptr &&
            SUCCEEDED(
                child.pdispVal->QueryInterface(kAccessibleIid, reinterpret_cast<void**>(&inner)))) {
            nodes += WalkObject(inner);
            inner->Release();
        } else if (child.vt == VT_I4) {
            ReadFacts(object, child);
            ++nodes;
        }
        VariantClear(&child);
    }
    return nodes;
}

// The baseline: the panel's client object, then the whole tree, with no bounds and no threads.
TreeRead BareWalk(HWND panel) {
    const auto start = std::chrono::steady_clock::now();
    IAccessible* root = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(
        panel, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid, reinterpret_cast<void**>(&root));
    if (FAILED(found) || root == nullptr) {
        std::printf("AccessibleObjectFromWindow failed: 0x%08lx\n",
                    static_cast<unsigned long>(found));
        return {};  // no nodes: the count check reports it
    }
    TreeRead read;
    read.nodes = WalkObject(root);
    root->Release();
    read.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return read;
}

// The tool's read: the same facts with every bound, each call on the tree's own thread.
TreeRead ToolRead(HWND panel) {
    const auto start = std::chrono::steady_clock::now();
    Win32RemoteItems remote;
    const ItemsTable table = ReadItems(HandleOf(panel), ItemsKind::Accessible, remote);
    TreeRead read;
    read.nodes = table.status == ItemsStatus::Read ? table.Rows() : 0;
    read.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return read;
}

// The bare walk first: every other reader is printed as a ratio to it.
constexpr Reader kReaders[] = {{"bare MSAA walk", BareWalk}, {"the tool's read", ToolRead}};

// Each reader's best of rounds against one build of the fixture, checked against its truth;
// false after a count that differs from it, with the fixture ended.
bool MeasureAgainst(FixtureBuild build, int nodes, int rounds) {
    const TargetFixture fixture(L"accessible", L"--nodes " + std::to_wstring(nodes), build);
    const AccessibleTruth truth = ReadAccessibleTruth(fixture);
    const HWND panel = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stol(truth.panel)));
    const std::size_t expected = truth.nodes.size();
    const char* bits = build == FixtureBuild::Bits32 ? "32-bit" : "64-bit";
    if (expected != static_cast<std::size_t>(nodes)) {
        std::printf("the %s fixture made %zu nodes of %d\n", bits, expected, nodes);
        return false;
    }
    std::vector<double> best(std::size(kReaders), 1e9);
    // Alternate the readers so that none gets a warmer system; keep the best of each.
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t reader = 0; reader < std::size(kReaders); ++reader) {
            const TreeRead read = kReaders[reader].read(panel);
            if (read.nodes != expected) {
                std::printf("%s of the %s fixture met %zu nodes of %zu\n", kReaders[reader].name,
                            bits, read.nodes, expected);
                return false;
            }
            best[reader] = std::min(best[reader], read.seconds);
        }
    }
    for (std::size_t reader = 0; reader < std::size(kReaders); ++reader) {
        std::printf("%s of a %zu-node tree in a %s program: %.3f s, %.3f ms a node",
                    kReaders[reader].name, expected, bits, best[reader],
                    best[reader] * 1000.0 / static_cast<double>(expected));
        if (reader > 0) std::printf(": %.2f x the bare walk", best[reader] / best[0]);
        std::printf("\n");
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int nodes = 2000;
    int rounds = 3;
    for (int i = 1; i < argc; ++i) {
        std::sscanf(argv[i], "--nodes=%d", &nodes);
        std::sscanf(argv[i], "--rounds=%d", &rounds);
    }
    // A single-threaded apartment, as a reader with a window of its own has.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool counted = MeasureAgainst(FixtureBuild::Native, nodes, rounds) &&
                         MeasureAgainst(FixtureBuild::Bits32, nodes, rounds);
    CoUninitialize();
    return counted ? 0 : 1;
}
