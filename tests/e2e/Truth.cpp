// Starting the target fixture and reading its truth file.
#include "tests/e2e/Truth.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/TruthFormat.h"

TargetFixture::TargetFixture(const std::wstring& mode, const std::wstring& options,
                             FixtureBuild build) {
    static int started = 0;
    m_truthFile = BuildFolder() / L"e2e-tmp" /
                  (L"truth-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++started) + L".txt");
    std::filesystem::create_directories(m_truthFile.parent_path());
    std::filesystem::remove(m_truthFile);
    const wchar_t* program =
        build == FixtureBuild::Bits32 ? L"TargetFixture32.exe" : L"TargetFixture.exe";
    m_process = std::make_unique<Process>(L"\"" + (BuildFolder() / program).wstring() + L"\" " +
                                          mode + L" \"" + m_truthFile.wstring() + L"\" " + options);
    // The fixture renames a finished file into place, yet under Wine a file that exists may not
    // open at once: wait until its whole text (every truth ends with a line end) is read.
    std::string content;
    const auto readWhole = [&] {
        std::ifstream file(m_truthFile, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return !content.empty() && content.back() == '\n';
    };
    if (!WaitUntil(readWhole, 120s)) {
        throw std::runtime_error("the target fixture wrote no truth");
    }
    std::istringstream in(content);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::wstring>& fields = m_lines.emplace_back();
        std::wstringstream parts(FromUtf8(line));
        std::wstring field;
        while (std::getline(parts, field, L'\t')) {
            fields.push_back(UnescapeField(field));
        }
        if (!line.empty() && line.back() == '\t') {
            fields.emplace_back();
        }
    }
}

void SelectWindow(const Tool& tool, const std::wstring& handle) {
    const RemoteList list = tool.WindowList();
    const auto rows = list.Rows();
    const auto row =
        std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r[1] == handle; });
    if (row == rows.end()) {
        throw std::runtime_error("the window is not in the window list");
    }
    list.Select(static_cast<int>(row - rows.begin()));
}

ExtractedTree::ExtractedTree() {
    SelectWindow(tool, fixture.Lines().at(0).at(1));
    tool.ClickAndWait(L"Start Extracting From Selected Window (Above)");
}
