// The fixture's IAccessible objects: one a node with children of its own, answering for itself
// and, by child id, for its simple children; hostile trees misbehave here as a hung or careless
// program would.
#include "tests/e2e/AccessibleObject.h"

#include <oleauto.h>

#include <algorithm>

namespace {

// liboleacc.a of MinGW-w64 carries a wrong IID_IAccessible; this is the one Windows uses.
constexpr IID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr double kBadChildVariant = 2.5;
constexpr LONG kExitingNameCall = 5;

// An empty text is no text: S_FALSE and no string, as Windows' own objects answer.
HRESULT AnswerText(const std::wstring& text, BSTR* out) {
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

class NodeObject final : public IAccessible, public IEnumVARIANT {
public:
    NodeObject(AccessibleTree& tree, std::size_t node) : m_tree(tree), m_node(node) {
        ++m_tree.liveObjects;
    }
    ~NodeObject() {
        m_tree.live[m_node] = nullptr;
        --m_tree.liveObjects;
    }
    NodeObject(const NodeObject&) = delete;
    NodeObject& operator=(const NodeObject&) = delete;

    // The node's one object, made when no client holds it; a reference for the caller.
    static IAccessible* For(AccessibleTree& tree, std::size_t node) {
        IAccessible*& object = tree.live[node];
        if (object == nullptr) {
            object = new NodeObject(tree, node);
        } else {
            object->AddRef();
        }
        return object;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kAccessibleIid)) {
            *out = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, IID_IEnumVARIANT) && Enumerates()) {
            *out = static_cast<IEnumVARIANT*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_references); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = --m_references;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        if (Denied()) return E_ACCESSDENIED;
        if (m_node == 0) return S_FALSE;
        *parent = For(m_tree, Node().parent);
        return S_OK;
    }
    STDMETHODIMP get_accChildCount(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        if (Denied() && m_node != 0) return E_ACCESSDENIED;
        *count = m_node == 0 && m_tree.claimedChildren > 0
                     ? m_tree.claimedChildren
                     : static_cast<LONG>(Node().children.size());
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        std::size_t node = 0;
        if (const HRESULT found = Resolve(child, node); found != S_OK) return found;
        if (node == m_node && child.lVal == CHILDID_SELF) return E_INVALIDARG;
        if (!m_tree.nodes[node].object) return S_FALSE;
        *out = For(m_tree, node);
        return S_OK;
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (name == nullptr) return E_POINTER;
        *name = nullptr;
        std::size_t node = 0;
        if (const HRESULT found = Resolve(child, node); found != S_OK) return found;
        if (m_tree.nodes[node].hangsOnName) {
            Sleep(INFINITE);
        }
        if (m_tree.hostility == AccessibleHostility::Dies &&
            ++m_tree.namesAsked == kExitingNameCall) {
            ExitProcess(0);
        }
        return AnswerText(m_tree.nodes[node].name, name);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        if (value == nullptr) return E_POINTER;
        *value = nullptr;
        std::size_t node = 0;
        if (const HRESULT found = Resolve(child, node); found != S_OK) return found;
        return AnswerText(m_tree.nodes[node].value, value);
    }
    STDMETHODIMP get_accDescription(VARIANT, BSTR*) override { return Unsupported(); }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        return AnswerNumber(child, role, &AccessibleNode::role, [](VARIANT& odd) {
            odd.vt = VT_R8;
            odd.dblVal = static_cast<double>(ROLE_SYSTEM_PUSHBUTTON);
        });
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        return AnswerNumber(child, state, &AccessibleNode::state, [](VARIANT& odd) {
            odd.vt = VT_BSTR;
            odd.bstrVal = SysAllocString(L"checked");
        });
    }
    STDMETHODIMP get_accHelp(VARIANT, BSTR*) override { return Unsupported(); }
    STDMETHODIMP get_accHelpTopic(BSTR*, VARIANT, LONG*) override { return Unsupported(); }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR*) override { return Unsupported(); }
    STDMETHODIMP get_accFocus(VARIANT*) override { return Unsupported(); }
    STDMETHODIMP get_accSelection(VARIANT*) override { return Unsupported(); }
    STDMETHODIMP get_accDefaultAction(VARIANT, BSTR*) override { return Unsupported(); }
    STDMETHODIMP accSelect(LONG, VARIANT) override { return Unsupported(); }
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                             VARIANT child) override;
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(LONG, LONG, VARIANT*) override { return Unsupported(); }
    STDMETHODIMP accDoDefaultAction(VARIANT) override { return Unsupported(); }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return Unsupported(); }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return Unsupported(); }

    // The children as AccessibleChildren takes them, a bad slot and all: only the root of the
    // badvariant tree offers this, the others leave AccessibleChildren to ask get_accChild.
    STDMETHODIMP Next(ULONG count, VARIANT* children, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override {
        const std::size_t skipped = std::min<std::size_t>(count, Node().children.size() - m_cursor);
        m_cursor += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        m_cursor = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

private:
    [[nodiscard]] const AccessibleNode& Node() const { return m_tree.nodes[m_node]; }
    [[nodiscard]] bool Denied() const { return m_tree.hostility == AccessibleHostility::Denied; }
    [[nodiscard]] bool Enumerates() const {
        return m_node == 0 && m_tree.hostility == AccessibleHostility::BadVariant;
    }
    [[nodiscard]] HRESULT Unsupported() const { return Denied() ? E_ACCESSDENIED : E_NOTIMPL; }

    // The node a child id names: this object's own for CHILDID_SELF, else its child's.
    HRESULT Resolve(const VARIANT& child, std::size_t& node) const {
        if (Denied()) return E_ACCESSDENIED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            node = m_node;
            return S_OK;
        }
        const std::vector<std::size_t>& children = Node().children;
        if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > children.size()) {
            return E_INVALIDARG;
        }
        node = children[static_cast<std::size_t>(child.lVal) - 1];
        return m_tree.nodes[node].badSlot ? E_INVALIDARG : S_OK;
    }

    // A role or state as VT_I4, or as the odd node's wrong type.
    HRESULT AnswerNumber(const VARIANT& child, VARIANT* out, LONG AccessibleNode::*field,
                         void (*answerOdd)(VARIANT&)) const {
        if (out == nullptr) return E_POINTER;
        VariantInit(out);
        std::size_t node = 0;
        if (const HRESULT found = Resolve(child, node); found != S_OK) return found;
        if (m_tree.nodes[node].oddVariants) {
            answerOdd(*out);
        } else {
            out->vt = VT_I4;
            out->lVal = m_tree.nodes[node].*field;
        }
        return S_OK;
    }

    // The child at position (0 for the first) as a reader is handed it: its object, or its id.
    void ChildVariant(std::size_t position, VARIANT& out) const {
        VariantInit(&out);
        const std::size_t node = Node().children[position];
        if (m_tree.nodes[node].badSlot) {
            out.vt = VT_R8;
            out.dblVal = kBadChildVariant;
        } else if (m_tree.nodes[node].object) {
            out.vt = VT_DISPATCH;
            out.pdispVal = For(m_tree, node);
        } else {
            out.vt = VT_I4;
            out.lVal = static_cast<LONG>(position + 1);
        }
    }

    AccessibleTree& m_tree;
    std::size_t m_node;
    LONG m_references = 1;  // counted on the fixture's one thread, whose apartment it lives in
    std::size_t m_cursor = 0;
};

HRESULT NodeObject::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    std::size_t node = 0;
    if (const HRESULT found = Resolve(child, node); found != S_OK) return found;
    RECT panel{};
    GetWindowRect(m_tree.panel, &panel);
    const AccessibleNode& located = m_tree.nodes[node];
    if (node == 0 || located.line < 0) {
        *left = panel.left;
        *top = panel.top;
        *width = panel.right - panel.left;
        *height = panel.bottom - panel.top;
        return S_OK;
    }
    *left = panel.left + kAccessibleMargin + located.depth * kAccessibleIndent;
    *top = panel.top + located.line * kAccessibleLineHeight;
    *width = std::max<LONG>(panel.right - *left, 0);
    *height = kAccessibleLineHeight;
    return S_OK;
}

HRESULT NodeObject::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    if (end == nullptr) return E_POINTER;
    VariantInit(end);
    std::size_t node = 0;
    if (const HRESULT found = Resolve(start, node); found != S_OK) return found;
    const LONG count = static_cast<LONG>(Node().children.size());
    LONG target = 0;  // a child id of this object; 0 for none
    if (start.lVal == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD) target = count > 0 ? 1 : 0;
        if (direction == NAVDIR_LASTCHILD) target = count;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        target = start.lVal < count ? start.lVal + 1 : 0;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        target = start.lVal - 1;
    }
    if (target <= 0) return S_FALSE;
    ChildVariant(static_cast<std::size_t>(target - 1), *end);
    return S_OK;
}

HRESULT NodeObject::Next(ULONG count, VARIANT* children, ULONG* fetched) {
    if (children == nullptr) return E_POINTER;
    ULONG given = 0;
    for (; given < count && m_cursor < Node().children.size(); ++given) {
        ChildVariant(m_cursor++, children[given]);
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

}  // namespace

IAccessible* RootObject(AccessibleTree& tree) {
    tree.live.resize(tree.nodes.size(), nullptr);
    return NodeObject::For(tree, 0);
}

const IID& AccessibleIid() {
    return kAccessibleIid;
}
