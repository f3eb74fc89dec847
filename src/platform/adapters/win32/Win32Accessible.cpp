// A window's own accessible tree through MSAA.
#include "win32/Win32Accessible.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "win32/AccessibleSession.h"
#include "win32/Win32Text.h"
#include "win32/Win32WindowSystem.h"

namespace {

// IAccessible's interface id, given here: the one in MinGW's static oleacc library is wrong.
constexpr GUID kAccessibleId{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// How long an answer of AccessibleChildCountOf is given again without asking, and how many
// windows' answers are kept at most.
constexpr std::chrono::seconds kProbeKept{5};
constexpr std::size_t kProbesKept = 100000;

// How a call's failure ends the conversation: refused for access, gone with the program or its
// object; any other failure is an answer of nothing.
RemoteEnd EndOf(HRESULT result) noexcept {
    switch (result) {
        case E_ACCESSDENIED:
            return RemoteEnd::Denied;
        case RPC_E_DISCONNECTED:
        case RPC_E_SERVER_DIED:
        case RPC_E_SERVER_DIED_DNE:
        case CO_E_OBJNOTCONNECTED:
        case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
            return RemoteEnd::Gone;
        default:
            return RemoteEnd::Answered;
    }
}

// A VARIANT that clears itself.
struct OwnedVariant {
    VARIANT value;
    OwnedVariant() noexcept { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
};

VARIANT ChildOf(AccessibleNode node) noexcept {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = node.child;
    return child;
}

// Takes a string an object gave: its first maxUnits units, cut counted.
Text TakeString(BSTR text, std::size_t maxUnits, std::size_t& cut) {
    if (text == nullptr) {
        return {};
    }
    const std::size_t length = SysStringLen(text);
    cut += length > maxUnits ? 1 : 0;
    Text taken = TextOf(text, std::min(length, maxUnits));
    SysFreeString(text);
    return taken;
}

// The object behind a WM_GETOBJECT answer, taken on the session's thread.
std::uint32_t TakeObject(AccessibleObjects& objects, LRESULT answer, RemoteEnd& end) {
    IAccessible* object = nullptr;
    const HRESULT taken =
        ObjectFromLresult(answer, kAccessibleId, 0, reinterpret_cast<void**>(&object));
    if (FAILED(taken) || object == nullptr) {
        end = RemoteEnd::Gone;
        return 0;
    }
    return objects.Number(object);
}

class Win32AccessibleTree final : public AccessibleTree {
public:
    Win32AccessibleTree(std::unique_ptr<AccessibleSession> session,
                        std::chrono::milliseconds timeout) noexcept
        : m_session(std::move(session)), m_timeout(timeout) {}

    RemoteNumber ChildCount(std::uint32_t object) override {
        return Ask<RemoteNumber>([object](AccessibleObjects& objects, RemoteNumber& count) {
            long children = 0;
            IAccessible* asked = objects.At(object);
            const HRESULT result = asked ? asked->get_accChildCount(&children) : E_POINTER;
            count = SUCCEEDED(result) ? RemoteNumber{children, RemoteEnd::Answered}
                                      : RemoteNumber{0, asked ? EndOf(result) : RemoteEnd::Gone};
        });
    }

    AccessibleChildList Children(std::uint32_t object, std::size_t first,
                                 std::size_t count) override {
        return Ask<AccessibleChildList>(
            [object, first, count](AccessibleObjects& objects, AccessibleChildList& children) {
                IAccessible* asked = objects.At(object);
                std::vector<VARIANT> answers(count);
                LONG obtained = 0;
                const HRESULT result =
                    asked ? AccessibleChildren(asked, static_cast<LONG>(first),
                                               static_cast<LONG>(count), answers.data(), &obtained)
                          : E_POINTER;
                if (FAILED(result)) {
                    children.end = asked ? EndOf(result) : RemoteEnd::Gone;
                    return;
                }
                answers.resize(static_cast<std::size_t>(std::clamp<LONG>(obtained, 0, count)));
                for (VARIANT& answer : answers) {
                    TakeChild(objects, object, answer, children);
                }
            });
    }

    AccessibleFacts Facts(AccessibleNode node, std::size_t maxUnits) override {
        return Ask<AccessibleFacts>(
            [node, maxUnits](AccessibleObjects& objects, AccessibleFacts& facts) {
                IAccessible* asked = objects.At(node.object);
                if (asked == nullptr) {
                    facts.end = RemoteEnd::Gone;
                    return;
                }
                const VARIANT child = ChildOf(node);
                BSTR name = nullptr;
                const HRESULT named = asked->get_accName(child, &name);
                facts.name = TakeString(SUCCEEDED(named) ? name : nullptr, maxUnits, facts.cut);
                // A simple child that is not there: its object's count claimed more.
                facts.end =
                    named == E_INVALIDARG && node.child != 0 ? RemoteEnd::Refused : EndOf(named);
                if (facts.end != RemoteEnd::Answered) {
                    return;
                }
                OwnedVariant role;
                const HRESULT roled = asked->get_accRole(child, &role.value);
                TakeRole(role.value, facts);
                OwnedVariant state;
                const HRESULT stated = asked->get_accState(child, &state.value);
                if (state.value.vt == VT_I4) {
                    facts.state = static_cast<std::uint32_t>(state.value.lVal);
                } else if (state.value.vt != VT_EMPTY) {
                    facts.malformed = true;
                }
                facts.end = EndOf(roled) != RemoteEnd::Answered ? EndOf(roled) : EndOf(stated);
            });
    }

    AccessibleValue Value(AccessibleNode node, std::size_t maxUnits) override {
        return Ask<AccessibleValue>([node, maxUnits](AccessibleObjects& objects,
                                                     AccessibleValue& value) {
            IAccessible* asked = objects.At(node.object);
            BSTR text = nullptr;
            const HRESULT result = asked ? asked->get_accValue(ChildOf(node), &text) : E_POINTER;
            value.value = TakeString(SUCCEEDED(result) ? text : nullptr, maxUnits, value.cut);
            value.end = asked ? EndOf(result) : RemoteEnd::Gone;
        });
    }

private:
    // Makes a call on the session's thread into an answer of its own, which a call that does not
    // end in time keeps; that call's answer is TimedOut, and so is every later one.
    template <typename Answer, typename Call>
    Answer Ask(Call call) {
        auto answer = std::make_shared<Answer>();
        if (!m_session->Make([answer, call](AccessibleObjects& objects) { call(objects, *answer); },
                             m_timeout)) {
            Answer timedOut;
            timedOut.end = RemoteEnd::TimedOut;
            return timedOut;
        }
        return std::move(*answer);
    }

    static void TakeRole(const VARIANT& role, AccessibleFacts& facts) {
        if (role.vt == VT_I4) {
            wchar_t words[128] = {};
            const UINT length = GetRoleTextW(static_cast<DWORD>(role.lVal), words, 128);
            facts.role = TextOf(words, std::min<UINT>(length, 127));
        } else if (role.vt == VT_BSTR && role.bstrVal != nullptr) {
            facts.role =
                TextOf(role.bstrVal, std::min<std::size_t>(SysStringLen(role.bstrVal), 128));
        } else if (role.vt != VT_EMPTY) {
            facts.malformed = true;
        }
    }

    // A child as the node it names: an object by its number, a simple child of the object by its
    // id; an answer of another type names none.
    static void TakeChild(AccessibleObjects& objects, std::uint32_t parent, VARIANT& answer,
                          AccessibleChildList& children) {
        if (answer.vt == VT_I4) {
            children.nodes.push_back({parent, answer.lVal});
        } else if (answer.vt == VT_DISPATCH && answer.pdispVal != nullptr) {
            IAccessible* object = nullptr;
            const HRESULT result =
                answer.pdispVal->QueryInterface(kAccessibleId, reinterpret_cast<void**>(&object));
            const std::uint32_t number = SUCCEEDED(result) ? objects.Number(object) : 0;
            if (number != 0) {
                children.nodes.push_back({number, 0});
            } else {
                ++children.malformed;
            }
        } else {
            ++children.malformed;
        }
        VariantClear(&answer);
    }

    std::unique_ptr<AccessibleSession> m_session;
    std::chrono::milliseconds m_timeout;
};

// The window's answer to WM_GETOBJECT for its client area: its own object's LRESULT, 0 when it
// leaves the object to the system.
RemoteNumber AskOwnObject(HWND window, std::chrono::milliseconds timeout) {
    const RemoteNumber answer =
        SendWithTimeout(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), timeout);
    if (answer.end == RemoteEnd::Answered && answer.value <= 0) {
        return {0, RemoteEnd::Refused};
    }
    return answer;
}

// The answers of AccessibleChildCountOf lately given, by window.
struct KeptProbe {
    RemoteNumber count;
    std::chrono::steady_clock::time_point asked;
};
std::mutex g_probesLock;
std::map<HWND, KeptProbe> g_probes;

}  // namespace

std::unique_ptr<AccessibleTree> OpenAccessibleTreeOf(HWND window, std::chrono::milliseconds timeout,
                                                     RemoteEnd& end) {
    const RemoteNumber answer = AskOwnObject(window, timeout);
    end = answer.end;
    if (end != RemoteEnd::Answered) {
        return nullptr;
    }
    std::unique_ptr<AccessibleSession> session = AccessibleSession::Start();
    if (!session) {
        end = RemoteEnd::Gone;
        return nullptr;
    }
    auto taken = std::make_shared<RemoteEnd>(RemoteEnd::Answered);
    const auto lresult = static_cast<LRESULT>(answer.value);
    if (!session->Make(
            [taken, lresult](AccessibleObjects& objects) { TakeObject(objects, lresult, *taken); },
            timeout)) {
        end = RemoteEnd::TimedOut;
        return nullptr;
    }
    end = *taken;
    return end == RemoteEnd::Answered
               ? std::make_unique<Win32AccessibleTree>(std::move(session), timeout)
               : nullptr;
}

RemoteNumber AccessibleChildCountOf(HWND window, std::chrono::milliseconds timeout) {
    const auto now = std::chrono::steady_clock::now();
    {
        const std::lock_guard lock(g_probesLock);
        if (const auto kept = g_probes.find(window);
            kept != g_probes.end() && now - kept->second.asked < kProbeKept) {
            return kept->second.count;
        }
    }
    RemoteEnd end = RemoteEnd::Answered;
    const std::unique_ptr<AccessibleTree> tree = OpenAccessibleTreeOf(window, timeout, end);
    const RemoteNumber count = tree ? tree->ChildCount(kRootObject) : RemoteNumber{0, end};
    const std::lock_guard lock(g_probesLock);
    if (g_probes.size() >= kProbesKept) {
        g_probes.clear();
    }
    g_probes[window] = {count, now};
    return count;
}

std::optional<RemoteNumber> KnownAccessibleChildCountOf(HWND window) {
    const std::lock_guard lock(g_probesLock);
    const auto kept = g_probes.find(window);
    return kept == g_probes.end() ? std::nullopt : std::optional(kept->second.count);
}
