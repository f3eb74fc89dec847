// Recording doubles for the main window's ports.
#pragma once

#include <initializer_list>
#include <optional>
#include <set>
#include <vector>

#include "app/Dialogs.h"
#include "app/Files.h"
#include "app/FormWindow.h"
#include "app/ListView.h"

class RecordingDialogs : public Dialogs {
public:
    void ShowErrorReport(const Text& message) override { errorReports.push_back(message); }

    std::vector<Text> errorReports;
};

class FakeListDisplay : public ListDisplay {
public:
    void ColumnAppended(const Text&) override {}
    void ColumnWidthSet(int column, int twips) override { widths.push_back({column, twips}); }
    void RowsChanged(std::size_t, bool) override {}
    std::optional<std::size_t> SelectedIndex() const override { return selected; }

    std::vector<std::pair<int, int>> widths;
    std::optional<std::size_t> selected;
};

class FakeFormWindow : public FormWindow {
public:
    void SetCaption(const Text& text) override { caption = text; }
    void SetApplicationIcon() override { iconSet = true; }
    void SetCustomPointerImage(const Text& path) override;
    void EndProgram() override { ended = true; }

    Text caption;
    bool iconSet = false;
    Text pointerImage;
    bool pointerImageLoads = true;
    bool ended = false;
};

class FakeFiles : public Files {
public:
    Text ApplicationFolder() override { return u"C:\\Tools\\Tessivane"; }
    bool FileExists(const Text& path) noexcept override { return existing.contains(path); }

    std::set<Text> existing;
};

// Gives a list its columns, as the load step does.
inline void AppendColumns(ListView& list, std::initializer_list<TextView> headers) {
    for (const TextView header : headers) {
        list.AppendColumn(Text(header));
    }
}
