// Recording doubles for the main window's ports.
#include "fakes/FakeServices.h"

#include <algorithm>

#include "core/Failure.h"
#include "fakes/FakeAutomation.h"

namespace {

// The next answer the user gives, or no when none is left.
bool NextAnswer(std::deque<bool>& answers) {
    const bool yes = answers.empty() ? false : answers.front();
    if (!answers.empty()) {
        answers.pop_front();
    }
    return yes;
}

}  // namespace

bool RecordingDialogs::ShowErrorReportOfferingToStop(const Text& message) {
    reportsOfferingToStop.push_back(errorReports.size());
    ShowErrorReport(message);
    return reportsOfferingToStop.size() == stopAtOffer;
}

bool RecordingDialogs::AskYesNo(const Text& question, const Text& caption) {
    questions.push_back({question, caption});
    return NextAnswer(answers);
}

bool RecordingDialogs::AskRetryCancel(const Text& warning, const Text& caption) {
    warnings.push_back({warning, caption});
    return NextAnswer(retries);
}

YesNoCancel RecordingDialogs::AskYesNoCancel(const Text& question, const Text& caption) {
    questions.push_back({question, caption});
    if (threeWayAnswers.empty()) {
        return YesNoCancel::Cancel;
    }
    const YesNoCancel answer = threeWayAnswers.front();
    threeWayAnswers.pop_front();
    return answer;
}

Text RecordingDialogs::ShowSaveDialog(const SaveDialogRequest& request) {
    saveRequests.push_back(request);
    return chosenPath;
}

void FakeFormWindow::SetCustomPointerImage(const Text& path) {
    if (!pointerImageLoads) {
        throw Failure(u"The pointer image \"" + path + u"\" is not a cursor file.");
    }
    pointerImage = path;
}

bool FakeClipboard::TryEmpty() {
    if (++attempts <= busyAttempts) {
        return false;
    }
    content = Text();
    return true;
}

bool FakeClipboard::TryPlaceText(const Text& text, std::uint32_t placedFormat) {
    if (++attempts <= busyAttempts) {
        return false;
    }
    content = text;
    format = placedFormat;
    return true;
}

void FakePump::Pump() {
    if (pumps++ == actAt && action) {
        action();
    }
}

namespace {

class FakeSaveFile : public SaveFile {
public:
    FakeSaveFile(FakeSaveFiles& owner, Text path) : m_owner(owner), m_path(std::move(path)) {}

    void Write(const std::string& bytes) override {
        if (m_owner.failWrites) {
            throw Failure(u"The disk is full.");
        }
        m_bytes += bytes;
    }
    void Commit() override { m_owner.files[m_path] = m_bytes; }

private:
    FakeSaveFiles& m_owner;
    Text m_path;
    std::string m_bytes;
};

}  // namespace

std::unique_ptr<SaveFile> FakeSaveFiles::Open(const Text& path) {
    if (readOnly.contains(path)) {
        throw Failure(u"The file " + path + u" is read-only.");
    }
    return std::make_unique<FakeSaveFile>(*this, path);
}

void FakeSaveFiles::AppendAnsi(TextView text, std::string& bytes) {
    // Written into room for the most bytes it can take, then cut, as a system's conversion is.
    const std::size_t at = bytes.size();
    bytes.resize(at + text.size() * 2);
    char* out = bytes.data() + at;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80 || (!doubleByte && unit < 0x100)) {
            *out++ = static_cast<char>(unit);
        } else if (!doubleByte || (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size())) {
            *out++ = '?';
            i += doubleByte ? 1 : 0;
        } else {
            *out++ = static_cast<char>(0x80 | (unit >> 9));
            *out++ = static_cast<char>(unit & 0xFF);
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
}

std::string FakeSaveFiles::Ansi(TextView text) {
    std::string bytes;
    AppendAnsi(text, bytes);
    return bytes;
}

std::size_t FakeSaveFiles::CountUnwritableInAnsi(const Text& text) {
    std::size_t unwritable = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool lowHalf = text[at] >= 0xDC00 && text[at] <= 0xDFFF;
        const bool highHalf = text[at] >= 0xD800 && text[at] < 0xDC00;
        // The double-byte code page holds every character of the BMP.
        unwritable += (doubleByte ? highHalf : text[at] >= 0x100 && !lowHalf) ? 1 : 0;
    }
    return unwritable;
}

Text FakeFiles::ApplicationFolder() {
    if (folderUnknown) {
        throw Failure(u"The program's own folder could not be found.");
    }
    return u"C:\\Tools\\Tessivane";
}

std::string FakeFiles::ReadFile(const Text& path, std::size_t largestMegabytes) {
    const auto found = contents.find(path);
    if (found == contents.end()) {
        throw Failure(u"The file " + path +
                      u" cannot be read: The system cannot find the file "
                      u"specified.");
    }
    if (found->second.size() > largestMegabytes << 20) {
        throw Failure(u"The file " + path + u" is too large.");
    }
    return found->second;
}

void RecordingSkinEngine::Invoke(int dispatchId, const AutomationArguments& arguments) {
    std::string call = "call " + std::to_string(dispatchId);
    for (const AutomationValue& argument : arguments) {
        call += ' ';
        call += ShowValue(argument);
    }
    calls.push_back(call);
    if (dispatchId == 2 && failLoading) {
        throw Failure(u"The skin file cannot be used: line 3: expected \"name = value\".");
    }
}

std::int32_t RecordingSkinEngine::GetProperty(int dispatchId) {
    calls.push_back("get " + std::to_string(dispatchId));
    return 6;
}

void RecordingSkinEngine::PutProperty(int dispatchId, const AutomationValue& value) {
    calls.push_back("put " + std::to_string(dispatchId) + " " + ShowValue(value));
}

std::optional<std::int32_t> FakeSettings::ReadNumber(TextView name) noexcept {
    const auto found = values.find(name);
    if (found == values.end() || !std::holds_alternative<std::int32_t>(found->second)) {
        return std::nullopt;
    }
    return std::get<std::int32_t>(found->second);
}

std::optional<Text> FakeSettings::ReadText(TextView name) noexcept {
    const auto found = values.find(name);
    if (found == values.end() || !std::holds_alternative<Text>(found->second)) {
        return std::nullopt;
    }
    return std::get<Text>(found->second);
}

void FakeSettings::WriteNumber(TextView name, std::int32_t value) noexcept {
    if (!failWrites) {
        values.insert_or_assign(Text(name), value);
    }
}

void FakeSettings::WriteText(TextView name, const Text& value) noexcept {
    if (!failWrites) {
        values.insert_or_assign(Text(name), value);
    }
}
