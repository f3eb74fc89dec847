// Starting the target fixture and reading its truth file.
#include "tests/e2e/Truth.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "tests/e2e/TruthFormat.h"

TargetFixture::TargetFixture(const std::wstring& mode, const std::wstring& options,
                             FixtureBuild build) {
    static int started = 0;
    m_truthFile = ScratchRoot() / (L"truth-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
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

std::vector<ControlTruth> ItemsControls(const TargetFixture& fixture) {
    std::vector<ControlTruth> controls;
    for (const std::vector<std::wstring>& fields : fixture.Lines()) {
        const std::wstring& tag = fields.at(0);
        if (tag == L"control") {
            ControlTruth& control = controls.emplace_back();
            control.name = fields.at(1);
            control.kind = fields.at(2);
            control.handle = fields.at(3);
            control.columns = std::stoul(fields.at(4));
            control.count = std::stoul(fields.at(5));
            control.keepsTexts = fields.at(6) == L"texts";
            continue;
        }
        if (controls.empty()) throw std::runtime_error("an items truth line before its control");
        ControlTruth& control = controls.back();
        if (tag == L"captions") {
            control.captions.assign(fields.begin() + 1, fields.end());
        } else if (tag == L"hidden") {
            for (auto field = fields.begin() + 1; field != fields.end(); ++field) {
                control.hiddenColumns.push_back(std::stoul(*field));
            }
        } else if (tag == L"item" && fields.size() == control.columns + 2) {
            control.depths.push_back(std::stoi(fields.at(1)));
            control.rows.emplace_back(fields.begin() + 2, fields.end());
        } else if (tag == L"expect") {
            control.expected[fields.at(1)] = fields.at(2);
        } else {
            throw std::runtime_error("a malformed items truth line");
        }
    }
    return controls;
}

ControlTruth ItemsControl(const TargetFixture& fixture, std::wstring_view name) {
    for (ControlTruth& control : ItemsControls(fixture)) {
        if (control.name == name) return std::move(control);
    }
    throw std::runtime_error("the items truth names no such control");
}

AccessibleTruth ReadAccessibleTruth(const TargetFixture& fixture) {
    AccessibleTruth truth;
    std::size_t count = 0;
    for (const std::vector<std::wstring>& fields : fixture.Lines()) {
        const std::wstring& tag = fields.at(0);
        if (tag == L"panel") {
            truth.panel = fields.at(1);
        } else if (tag == L"mode") {
            truth.mode = fields.at(1);
        } else if (tag == L"node" && fields.size() == 8) {
            truth.nodes.push_back({std::stoi(fields[1]), fields[2], fields[3], fields[4],
                                   std::stoul(fields[5], nullptr, 16), std::stol(fields[6]),
                                   fields[7] == L"object"});
        } else if (tag == L"count") {
            count = std::stoul(fields.at(1));
        } else if (tag == L"expect") {
            truth.expected[fields.at(1)] = fields.at(2);
        } else {
            throw std::runtime_error("a malformed accessible truth line");
        }
    }
    if (truth.panel.empty() || count != truth.nodes.size()) {
        throw std::runtime_error("an accessible truth without its panel or with a wrong count");
    }
    return truth;
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
    tool.ClickAndWait(kStartButton);
}
