// Starting the target fixture and reading its truth file.
#include "tests/e2e/Truth.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::wstring FromUtf8(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

std::wstring Unescape(const std::wstring& field) {
    std::wstring text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != L'\\' || i + 1 == field.size()) {
            text.push_back(field[i]);
            continue;
        }
        const wchar_t code = field[++i];
        text.push_back(code == L'r' ? L'\r' : code == L'n' ? L'\n' : code == L't' ? L'\t' : code);
    }
    return text;
}

}  // namespace

TargetFixture::TargetFixture(const std::wstring& mode, const std::wstring& options) {
    static int started = 0;
    m_truthFile = BuildFolder() / L"e2e-tmp" /
                  (L"truth-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++started) + L".txt");
    std::filesystem::create_directories(m_truthFile.parent_path());
    std::filesystem::remove(m_truthFile);
    m_process = std::make_unique<Process>(L"\"" + (BuildFolder() / L"TargetFixture.exe").wstring() +
                                          L"\" " + mode + L" \"" + m_truthFile.wstring() + L"\" " +
                                          options);
    if (!WaitUntil([&] { return std::filesystem::exists(m_truthFile); }, 120s)) {
        throw std::runtime_error("the target fixture wrote no truth");
    }
    std::ifstream in(m_truthFile, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::wstring>& fields = m_lines.emplace_back();
        std::wstringstream parts(FromUtf8(line));
        std::wstring field;
        while (std::getline(parts, field, L'\t')) {
            fields.push_back(Unescape(field));
        }
        if (!line.empty() && line.back() == '\t') {
            fields.emplace_back();
        }
    }
}
