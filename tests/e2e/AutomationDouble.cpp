// Test-only automation server standing in for "Excel.Application"; records each call. Served
// in-process by AutomationDouble.dll and out of process by AutomationServerDouble.exe.
#include "tests/e2e/AutomationDouble.h"

#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "tests/e2e/TruthFormat.h"

namespace {

constexpr wchar_t kRecordVariable[] = L"TESSIVANE_AUTOMATION_RECORD";
constexpr wchar_t kFailVariable[] = L"TESSIVANE_AUTOMATION_FAIL";
constexpr wchar_t kDisconnectVariable[] = L"TESSIVANE_AUTOMATION_DISCONNECT_AFTER";
constexpr wchar_t kDelayVariable[] = L"TESSIVANE_AUTOMATION_CALL_DELAY_MS";
// The member whose calls never answer while the test runs.
constexpr wchar_t kHangVariable[] = L"TESSIVANE_AUTOMATION_HANG";
// The member whose calls answer no object.
constexpr wchar_t kEmptyVariable[] = L"TESSIVANE_AUTOMATION_EMPTY";
// The member whose calls fault (an access violation) when the double is loaded into the calling
// program; served from a process of its own, the double answers them as usual.
constexpr wchar_t kFaultInProcessVariable[] = L"TESSIVANE_AUTOMATION_FAULT_IN_PROCESS";
// How long the description of a failure told to happen is, padded with dots.
constexpr wchar_t kFailLengthVariable[] = L"TESSIVANE_AUTOMATION_FAIL_DESCRIPTION_LENGTH";

// The real application's sheet limits, so an index it would refuse is refused here too.
constexpr long kLastRow = 1048576;
constexpr long kLastColumn = 16384;

// Distinct across all objects, so a DISPID used on the wrong object is caught as unknown.
constexpr DISPID kWorkbooksId = 1;
constexpr DISPID kVisibleId = 2;
constexpr DISPID kAddId = 3;
constexpr DISPID kActiveSheetId = 4;
constexpr DISPID kCellsId = 5;
constexpr DISPID kColumnsId = 6;
constexpr DISPID kValueId = 7;
constexpr DISPID kAutofitId = 8;

// COM asks DllCanUnloadNow whether anything still needs the code, the local server whether it
// may end.
std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};
std::atomic<long> g_applicationsMade{0};

// Read when written, so the write is made and faults.
volatile int* volatile g_nowhere = nullptr;

// True in AutomationDouble.dll, false in the local server's own program.
bool LoadedIntoCaller() {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&LoadedIntoCaller), &self);
    return self != GetModuleHandleW(nullptr);
}

// Several applications, possibly on different threads, may append to the same record file.
std::mutex g_recordMutex;

std::wstring HexOf(HRESULT result) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%08lX", static_cast<unsigned long>(result));
    return text;
}

bool SameName(std::wstring_view left, std::wstring_view right) {
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::wstring> EnvironmentText(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(std::min<DWORD>(length, size));
    if (value.empty()) {
        return std::nullopt;
    }
    return value;
}

bool IsDigit(wchar_t character) {
    return character >= L'0' && character <= L'9';
}

std::optional<unsigned long> EnvironmentNumber(const wchar_t* name) {
    const std::optional<std::wstring> text = EnvironmentText(name);
    if (!text || !std::all_of(text->begin(), text->end(), IsDigit)) {
        return std::nullopt;
    }
    return std::wcstoul(text->c_str(), nullptr, 10);
}

// Opened, appended and closed per line so a test reads every line the moment it is written,
// even while the export is still running or after the product crashed.
void AppendLine(const std::wstring& path, std::wstring_view line) {
    const std::string bytes = ToUtf8(line) + '\n';
    const std::lock_guard lock(g_recordMutex);
    const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Written aside then moved over, so a test polling for the file never reads half of it.
void ReplaceFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporaryPath = path + L".tmp";
    const HANDLE file = CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    const bool complete =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    if (!complete || !MoveFileExW(temporaryPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporaryPath.c_str());
    }
}

// The cells of one workbook's only sheet, by (row, column); empty cells are absent.
struct Grid {
    std::map<std::pair<long, long>, std::wstring> m_cells;
};

std::wstring GridText(const Grid& grid) {
    long lastRow = 0;
    long lastColumn = 0;
    for (const auto& [position, text] : grid.m_cells) {
        lastRow = std::max(lastRow, position.first);
        lastColumn = std::max(lastColumn, position.second);
    }
    std::wstring text;
    for (long row = 1; row <= lastRow; ++row) {
        for (long column = 1; column <= lastColumn; ++column) {
            if (column > 1) {
                text += L'\t';
            }
            if (const auto cell = grid.m_cells.find({row, column}); cell != grid.m_cells.end()) {
                text += EscapeField(cell->second);
            }
        }
        text += L'\n';
    }
    return text;
}

// What one Application and every object reached from it share: the settings read when it was
// created, the record, the workbooks' grids and whether the "server" has gone away.
class Session {
public:
    Session()
        : m_recordPath(EnvironmentText(kRecordVariable)),
          m_failMember(EnvironmentText(kFailVariable).value_or(L"")),
          m_hangMember(EnvironmentText(kHangVariable).value_or(L"")),
          m_emptyMember(EnvironmentText(kEmptyVariable).value_or(L"")),
          m_faultMember(EnvironmentText(kFaultInProcessVariable).value_or(L"")),
          m_failLength(EnvironmentNumber(kFailLengthVariable).value_or(0)),
          m_disconnectAfter(EnvironmentNumber(kDisconnectVariable)),
          m_callDelayMs(static_cast<DWORD>(EnvironmentNumber(kDelayVariable).value_or(0))),
          m_disconnected(m_disconnectAfter == 0UL) {}

    void Record(std::wstring_view line) const {
        if (m_recordPath) {
            AppendLine(*m_recordPath, line);
        }
    }

    // Answers false once the server counts as gone; the first refusal is noted in the record.
    bool Connected() {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_disconnected) {
                return true;
            }
            if (m_disconnectRecorded) {
                return false;
            }
            m_disconnectRecorded = true;
        }
        Record(L"disconnected");
        return false;
    }

    bool ShouldFail(std::wstring_view member) const {
        return !m_failMember.empty() && SameName(m_failMember, member);
    }

    bool ShouldAnswerEmpty(std::wstring_view member) const {
        return !m_emptyMember.empty() && SameName(m_emptyMember, member);
    }

    // The description of a failure told to happen, as long as the test asked.
    std::wstring FailureDescription(std::wstring_view member) const {
        std::wstring description = L"The automation double was told to fail ";
        description += member;
        description += L'.';
        if (description.size() < m_failLength) {
            description.append(m_failLength - description.size(), L'.');
        }
        return description;
    }

    // A call of the member told to fault in the caller's process writes where no memory is.
    void FaultIfTold(std::wstring_view member) const {
        if (m_faultMember.empty() || !SameName(m_faultMember, member) || !LoadedIntoCaller()) {
            return;
        }
        Record(std::wstring(member) + L"\tfaulting");
        *g_nowhere = 1;
    }

    // A call of the member told to hang answers only once the test lets it.
    void HangIfTold(std::wstring_view member) const {
        if (m_hangMember.empty() || !SameName(m_hangMember, member)) {
            return;
        }
        Record(std::wstring(member) + L"\thanging");
        WaitForHangRelease();
    }

    std::shared_ptr<Grid> AddWorkbook() {
        auto grid = std::make_shared<Grid>();
        const std::lock_guard lock(m_mutex);
        m_lastGrid = grid;
        return grid;
    }

    void PutCell(Grid& grid, long row, long column, std::wstring text) {
        const std::lock_guard lock(m_mutex);
        // An empty value clears the cell, as the real application does, so it no longer counts.
        if (text.empty()) {
            grid.m_cells.erase({row, column});
        } else {
            grid.m_cells[{row, column}] = std::move(text);
        }
    }

    std::wstring CellText(const Grid& grid, long row, long column) {
        const std::lock_guard lock(m_mutex);
        const auto cell = grid.m_cells.find({row, column});
        return cell != grid.m_cells.end() ? cell->second : std::wstring();
    }

    void CountSucceededPut() {
        const std::lock_guard lock(m_mutex);
        ++m_succeededPuts;
        if (m_disconnectAfter && m_succeededPuts >= *m_disconnectAfter) {
            m_disconnected = true;
        }
    }

    void DelayCellPut() const {
        if (m_callDelayMs > 0) {
            Sleep(m_callDelayMs);
        }
    }

    bool Visible() {
        const std::lock_guard lock(m_mutex);
        return m_visible;
    }

    void SetVisible(bool visible) {
        const std::lock_guard lock(m_mutex);
        m_visible = visible;
    }

    // The grid goes first so that a test that saw "release" can read it at once.
    void Close() {
        if (!m_recordPath) {
            return;
        }
        std::wstring gridText;
        bool hadWorkbook = false;
        {
            const std::lock_guard lock(m_mutex);
            if (m_lastGrid) {
                hadWorkbook = true;
                gridText = GridText(*m_lastGrid);
            }
        }
        if (hadWorkbook) {
            ReplaceFile(*m_recordPath + L".grid", ToUtf8(gridText));
        }
        Record(L"release");
    }

private:
    std::mutex m_mutex;
    const std::optional<std::wstring> m_recordPath;
    const std::wstring m_failMember;
    const std::wstring m_hangMember;
    const std::wstring m_emptyMember;
    const std::wstring m_faultMember;
    const unsigned long m_failLength;
    const std::optional<unsigned long> m_disconnectAfter;
    const DWORD m_callDelayMs;
    unsigned long m_succeededPuts = 0;
    bool m_disconnected;
    bool m_disconnectRecorded = false;
    bool m_visible = false;
    std::shared_ptr<Grid> m_lastGrid;
};

// A VARIANT that clears itself.
struct ScopedVariant : VARIANT {
    ScopedVariant() noexcept { VariantInit(this); }
    ~ScopedVariant() { VariantClear(this); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
};

// COM passes arguments last first; position 0 is the first argument as the caller wrote it.
UINT SlotOf(const DISPPARAMS& parameters, UINT position) {
    return parameters.cArgs - 1 - position;
}

bool IsMissing(const VARIANTARG& argument) {
    return argument.vt == VT_ERROR && argument.scode == DISP_E_PARAMNOTFOUND;
}

// By-reference arguments are followed first, as a late-bound caller may pass its variables so.
HRESULT Converted(const VARIANTARG& argument, VARTYPE type, ScopedVariant& converted) {
    ScopedVariant direct;
    // MinGW declares the source without const; VariantCopyInd only reads it.
    HRESULT result = VariantCopyInd(&direct, const_cast<VARIANTARG*>(&argument));
    if (SUCCEEDED(result)) {
        result = VariantChangeTypeEx(&converted, &direct, LOCALE_INVARIANT, 0, type);
    }
    return result;
}

// Whether a call may go ahead to a member that takes no named arguments: the kind the member
// answers, with from fewest to most arguments.
HRESULT CheckCall(bool rightKind, const DISPPARAMS& parameters, UINT fewest = 0, UINT most = 0) {
    if (!rightKind) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (parameters.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (parameters.cArgs < fewest || parameters.cArgs > most) {
        return DISP_E_BADPARAMCOUNT;
    }
    return S_OK;
}

// A property put carries its value alone, as the named argument DISPID_PROPERTYPUT; the value
// comes out converted to type.
HRESULT PutArgument(const DISPPARAMS& parameters, VARTYPE type, ScopedVariant& value,
                    UINT* badArgument) {
    if (parameters.cNamedArgs != 1 || parameters.rgdispidNamedArgs == nullptr ||
        parameters.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return DISP_E_PARAMNOTOPTIONAL;
    }
    if (parameters.cArgs != 1) {
        return DISP_E_BADPARAMCOUNT;
    }
    const HRESULT result = Converted(parameters.rgvarg[0], type, value);
    if (FAILED(result) && badArgument != nullptr) {
        *badArgument = 0;
    }
    return result;
}

HRESULT IndexArgument(const DISPPARAMS& parameters, UINT position, long last, long& index,
                      UINT* badArgument) {
    const UINT slot = SlotOf(parameters, position);
    ScopedVariant number;
    HRESULT result = Converted(parameters.rgvarg[slot], VT_I4, number);
    if (SUCCEEDED(result) && (number.lVal < 1 || number.lVal > last)) {
        result = DISP_E_BADINDEX;
    }
    if (FAILED(result)) {
        if (badArgument != nullptr) {
            *badArgument = slot;
        }
        return result;
    }
    index = number.lVal;
    return S_OK;
}

bool Getting(WORD flags) {
    return (flags & DISPATCH_PROPERTYGET) != 0;
}

bool Putting(WORD flags) {
    return (flags & DISPATCH_PROPERTYPUT) != 0;
}

bool Calling(WORD flags) {
    return (flags & DISPATCH_METHOD) != 0;
}

// A call the real application would refuse too; recorded so a test sees what the product tried.
HRESULT Rejected(const Session& session, std::wstring_view member, HRESULT result) {
    std::wstring line(member);
    line += L"\trejected\t";
    line += HexOf(result);
    session.Record(line);
    return result;
}

// One member call being answered; collects the fields of its record line.
class Call {
public:
    Call(Session& session, std::wstring_view member, std::wstring_view kind)
        : m_session(session), m_member(member), m_line(member) {
        m_line += L'\t';
        m_line += kind;
    }

    void Add(std::wstring_view field) {
        m_line += L'\t';
        m_line += field;
    }

    void Add(long number) { Add(std::to_wstring(number)); }

    // Column 0 stands for all the columns.
    void AddColumn(long column) {
        if (column == 0) {
            Add(L"all");
        } else {
            Add(column);
        }
    }

    bool Failing() const { return m_session.ShouldFail(m_member); }

    HRESULT Fail(EXCEPINFO* exception) {
        Add(L"failed");
        m_session.Record(m_line);
        if (exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(L"Tessivane automation double");
            const std::wstring description = m_session.FailureDescription(m_member);
            exception->bstrDescription =
                SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
            exception->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    }

    HRESULT Succeed() {
        m_session.Record(m_line);
        return S_OK;
    }

    // Refuses the call when check failed, hangs, fails it or answers nothing when told to, and
    // otherwise has makeAnswer do the work; only a call whose answer was made is recorded as
    // done.
    template <typename MakeAnswer>
    HRESULT Answer(HRESULT check, EXCEPINFO* exception, MakeAnswer makeAnswer) {
        if (FAILED(check)) {
            return Rejected(m_session, m_member, check);
        }
        m_session.HangIfTold(m_member);
        m_session.FaultIfTold(m_member);
        if (Failing()) {
            return Fail(exception);
        }
        if (m_session.ShouldAnswerEmpty(m_member)) {
            Add(L"empty");
            return Succeed();
        }
        const HRESULT made = makeAnswer();
        return FAILED(made) ? made : Succeed();
    }

private:
    Session& m_session;
    std::wstring m_member;
    std::wstring m_line;
};

struct Member {
    std::wstring_view m_name;
    DISPID m_id;
};

// IUnknown for an object that offers one interface besides it. Each one counts among the live
// objects, so DllCanUnloadNow keeps the code loaded while any is still referenced.
template <typename Interface, const IID& kInterfaceId>
class ComObject : public Interface {
public:
    ComObject() { ++g_liveObjects; }
    // Virtual so that Release deletes the most derived object.
    virtual ~ComObject() { --g_liveObjects; }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, kInterfaceId)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --m_references;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

private:
    std::atomic<ULONG> m_references{1};
};

// IDispatch for every object of the model; each kind names its members and answers them in
// InvokeMember.
class DispatchObject : public ComObject<IDispatch, IID_IDispatch> {
public:
    explicit DispatchObject(std::shared_ptr<Session> session) : m_session(std::move(session)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        if (!m_session->Connected()) {
            return RPC_E_DISCONNECTED;
        }
        *count = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) override {
        if (typeInfo == nullptr) {
            return E_POINTER;
        }
        *typeInfo = nullptr;
        if (!m_session->Connected()) {
            return RPC_E_DISCONNECTED;
        }
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID interfaceId, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(interfaceId, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        if (names == nullptr || ids == nullptr || count == 0) {
            return E_INVALIDARG;
        }
        if (!m_session->Connected()) {
            return RPC_E_DISCONNECTED;
        }
        // No member takes named arguments, so only the member name itself can be known.
        std::fill(ids, ids + count, DISPID_UNKNOWN);
        const std::span<const Member> members = Members();
        const auto found = std::find_if(members.begin(), members.end(), [&](const Member& member) {
            return names[0] != nullptr && SameName(member.m_name, names[0]);
        });
        if (found == members.end() || count > 1) {
            if (found != members.end()) {
                ids[0] = found->m_id;
            }
            return DISP_E_UNKNOWNNAME;
        }
        ids[0] = found->m_id;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID interfaceId, LCID, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
        if (!IsEqualIID(interfaceId, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        if (!m_session->Connected()) {
            return RPC_E_DISCONNECTED;
        }
        const DISPPARAMS noParameters{};
        try {
            return InvokeMember(id, flags, parameters != nullptr ? *parameters : noParameters,
                                result, exception, badArgument);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

protected:
    virtual std::span<const Member> Members() const = 0;
    virtual HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters,
                                 VARIANT* result, EXCEPINFO* exception, UINT* badArgument) = 0;

    // The new object's one reference goes to the caller; a caller that wants no result gets none.
    template <typename Object, typename... Arguments>
    HRESULT ReturnNew(VARIANT* result, Arguments&&... arguments) {
        if (result == nullptr) {
            return S_OK;
        }
        auto* object = new (std::nothrow) Object(m_session, std::forward<Arguments>(arguments)...);
        if (object == nullptr) {
            return E_OUTOFMEMORY;
        }
        VariantInit(result);
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
        return S_OK;
    }

    const std::shared_ptr<Session> m_session;
};

// All columns of the sheet (column 0) or one column.
class ColumnSet final : public DispatchObject {
public:
    ColumnSet(std::shared_ptr<Session> session, long column)
        : DispatchObject(std::move(session)), m_column(column) {}

protected:
    std::span<const Member> Members() const override {
        static constexpr Member kMembers[] = {{L"Autofit", kAutofitId}};
        return kMembers;
    }

    HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT*,
                         EXCEPINFO* exception, UINT*) override {
        if (id != kAutofitId) {
            return DISP_E_MEMBERNOTFOUND;
        }
        Call call(*m_session, L"Autofit", L"call");
        call.AddColumn(m_column);
        return call.Answer(CheckCall(Calling(flags), parameters), exception, [] { return S_OK; });
    }

private:
    const long m_column;
};

// An object through which a workbook's cells are reached; it hands them on to the objects it
// makes.
class GridObject : public DispatchObject {
public:
    GridObject(std::shared_ptr<Session> session, std::shared_ptr<Grid> grid)
        : DispatchObject(std::move(session)), m_grid(std::move(grid)) {}

protected:
    const std::shared_ptr<Grid> m_grid;
};

// One cell; its default member is its value, as in the real application.
class CellRange final : public GridObject {
public:
    CellRange(std::shared_ptr<Session> session, std::shared_ptr<Grid> grid, long row, long column)
        : GridObject(std::move(session), std::move(grid)), m_row(row), m_column(column) {}

protected:
    std::span<const Member> Members() const override {
        static constexpr Member kMembers[] = {{L"Value", kValueId}};
        return kMembers;
    }

    HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                         EXCEPINFO* exception, UINT* badArgument) override {
        if (id != kValueId && id != DISPID_VALUE) {
            return DISP_E_MEMBERNOTFOUND;
        }
        const std::wstring_view member = id == kValueId ? L"Value" : L"default";
        if (Putting(flags)) {
            return PutValue(member, parameters, exception, badArgument);
        }
        Call call(*m_session, member, L"get");
        call.Add(m_row);
        call.Add(m_column);
        return call.Answer(CheckCall(Getting(flags), parameters), exception,
                           [&] { return ReturnText(result); });
    }

private:
    HRESULT PutValue(std::wstring_view member, const DISPPARAMS& parameters, EXCEPINFO* exception,
                     UINT* badArgument) {
        ScopedVariant text;
        if (const HRESULT check = PutArgument(parameters, VT_BSTR, text, badArgument);
            FAILED(check)) {
            return Rejected(*m_session, member, check);
        }
        // Measured rather than read to a terminator, so every character given is kept.
        std::wstring value(text.bstrVal != nullptr ? text.bstrVal : L"",
                           SysStringLen(text.bstrVal));
        Call call(*m_session, member, L"put");
        call.Add(m_row);
        call.Add(m_column);
        call.Add(EscapeField(value));
        const HRESULT outcome = call.Answer(S_OK, exception, [&] {
            m_session->PutCell(*m_grid, m_row, m_column, std::move(value));
            return S_OK;
        });
        // Only a put that went through counts toward the disconnect a test asked for.
        if (SUCCEEDED(outcome)) {
            m_session->CountSucceededPut();
        }
        m_session->DelayCellPut();
        return outcome;
    }

    // An empty cell reads as Empty in the real application, not as an empty string.
    HRESULT ReturnText(VARIANT* result) const {
        if (result == nullptr) {
            return S_OK;
        }
        const std::wstring text = m_session->CellText(*m_grid, m_row, m_column);
        VariantInit(result);
        if (!text.empty()) {
            result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            if (result->bstrVal == nullptr) {
                return E_OUTOFMEMORY;
            }
            result->vt = VT_BSTR;
        }
        return S_OK;
    }

    const long m_row;
    const long m_column;
};

class Sheet final : public GridObject {
public:
    using GridObject::GridObject;

protected:
    std::span<const Member> Members() const override {
        static constexpr Member kMembers[] = {{L"cells", kCellsId}, {L"Columns", kColumnsId}};
        return kMembers;
    }

    HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                         EXCEPINFO* exception, UINT* badArgument) override {
        if (id == kCellsId) {
            return GetCells(flags, parameters, result, exception, badArgument);
        }
        if (id == kColumnsId) {
            return GetColumns(flags, parameters, result, exception, badArgument);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    HRESULT GetCells(WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                     EXCEPINFO* exception, UINT* badArgument) {
        long row = 0;
        long column = 0;
        HRESULT check = CheckCall(Getting(flags), parameters, 2, 2);
        if (SUCCEEDED(check)) {
            check = IndexArgument(parameters, 0, kLastRow, row, badArgument);
        }
        if (SUCCEEDED(check)) {
            check = IndexArgument(parameters, 1, kLastColumn, column, badArgument);
        }
        Call call(*m_session, L"cells", L"get");
        call.Add(row);
        call.Add(column);
        return call.Answer(check, exception,
                           [&] { return ReturnNew<CellRange>(result, m_grid, row, column); });
    }

    HRESULT GetColumns(WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                       EXCEPINFO* exception, UINT* badArgument) {
        long column = 0;
        HRESULT check = CheckCall(Getting(flags), parameters, 0, 1);
        // An omitted optional argument arrives as VT_ERROR DISP_E_PARAMNOTFOUND: all columns.
        if (SUCCEEDED(check) && parameters.cArgs == 1 && !IsMissing(parameters.rgvarg[0])) {
            check = IndexArgument(parameters, 0, kLastColumn, column, badArgument);
        }
        Call call(*m_session, L"Columns", L"get");
        call.AddColumn(column);
        return call.Answer(check, exception, [&] { return ReturnNew<ColumnSet>(result, column); });
    }
};

class Workbook final : public GridObject {
public:
    using GridObject::GridObject;

protected:
    std::span<const Member> Members() const override {
        static constexpr Member kMembers[] = {{L"ActiveSheet", kActiveSheetId}};
        return kMembers;
    }

    HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                         EXCEPINFO* exception, UINT*) override {
        if (id != kActiveSheetId) {
            return DISP_E_MEMBERNOTFOUND;
        }
        Call call(*m_session, L"ActiveSheet", L"get");
        return call.Answer(CheckCall(Getting(flags), parameters), exception,
                           [&] { return ReturnNew<Sheet>(result, m_grid); });
    }
};

class WorkbookCollection final : public DispatchObject {
public:
    explicit WorkbookCollection(std::shared_ptr<Session> session)
        : DispatchObject(std::move(session)) {}

protected:
    std::span<const Member> Members() const override {
        static constexpr Member kMembers[] = {{L"Add", kAddId}};
        return kMembers;
    }

    HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                         EXCEPINFO* exception, UINT*) override {
        if (id != kAddId) {
            return DISP_E_MEMBERNOTFOUND;
        }
        Call call(*m_session, L"Add", L"call");
        // The workbook exists whether or not the caller keeps the object for it.
        return call.Answer(CheckCall(Calling(flags), parameters), exception,
                           [&] { return ReturnNew<Workbook>(result, m_session->AddWorkbook()); });
    }
};

class Application final : public DispatchObject {
public:
    explicit Application(std::shared_ptr<Session> session) : DispatchObject(std::move(session)) {
        m_session->Record(L"create");
    }
    ~Application() override { m_session->Close(); }
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

protected:
    std::span<const Member> Members() const override {
        static constexpr Member kMembers[] = {{L"Workbooks", kWorkbooksId},
                                              {L"Visible", kVisibleId}};
        return kMembers;
    }

    HRESULT InvokeMember(DISPID id, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
                         EXCEPINFO* exception, UINT* badArgument) override {
        if (id == kWorkbooksId) {
            Call call(*m_session, L"Workbooks", L"get");
            return call.Answer(CheckCall(Getting(flags), parameters), exception,
                               [&] { return ReturnNew<WorkbookCollection>(result); });
        }
        if (id == kVisibleId) {
            if (Putting(flags)) {
                return PutVisible(parameters, exception, badArgument);
            }
            Call call(*m_session, L"Visible", L"get");
            return call.Answer(CheckCall(Getting(flags), parameters), exception,
                               [&] { return ReturnVisible(result); });
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    HRESULT PutVisible(const DISPPARAMS& parameters, EXCEPINFO* exception, UINT* badArgument) {
        ScopedVariant flag;
        const HRESULT check = PutArgument(parameters, VT_BOOL, flag, badArgument);
        const bool visible = SUCCEEDED(check) && flag.boolVal != VARIANT_FALSE;
        Call call(*m_session, L"Visible", L"put");
        call.Add(visible ? L"true" : L"false");
        return call.Answer(check, exception, [&] {
            m_session->SetVisible(visible);
            return S_OK;
        });
    }

    HRESULT ReturnVisible(VARIANT* result) const {
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = m_session->Visible() ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
};

class ClassFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    // A new Application every time: the product creates one only to see that the server exists.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interfaceId,
                                             void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        try {
            auto* application = new Application(std::make_shared<Session>());
            ++g_applicationsMade;
            const HRESULT result = application->QueryInterface(interfaceId, object);
            application->Release();
            return result;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            ++g_serverLocks;
        } else {
            --g_serverLocks;
        }
        return S_OK;
    }
};

}  // namespace

void WaitForHangRelease() {
    constexpr DWORD kLongestHangMs = 120'000;  // never more, should a test not end it
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, kHangReleaseEvent);
    if (release != nullptr) {
        WaitForSingleObject(release, kLongestHangMs);
        CloseHandle(release);
    }
}

HRESULT NewAutomationDoubleFactory(REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    auto* factory = new (std::nothrow) ClassFactory();
    if (factory == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = factory->QueryInterface(interfaceId, object);
    factory->Release();
    return result;
}

bool AutomationDoubleInUse(long factoriesHeld) {
    return g_liveObjects > factoriesHeld || g_serverLocks > 0;
}

bool AutomationDoubleServedAll(long factoriesHeld) {
    return g_applicationsMade > 0 && !AutomationDoubleInUse(factoriesHeld);
}
