// The aligned rendering of ticked rows and the text file (of ASCII and of CJK texts), each
// against a baseline that makes the same bytes the plainest way (one reserve and appends; one
// write), in one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "BenchSupport.h"
#include "TickedResults.h"
#include "export/AlignedText.h"
#include "export/ClipboardCopy.h"
#include "export/TextFileBytes.h"

namespace {

long long g_rows = 100'000;

TickedResults& SharedResults() {
    static TickedResults results(g_rows);
    return results;
}

// Rows whose texts are Japanese, as a double-byte code page such as 932 writes them: two bytes
// a character, so that each text converted is longer than its characters.
TickedResults& CjkResults() {
    static TickedResults results(g_rows, u"\u9805\u76EE\u306E\u30C6\u30AD\u30B9\u30C8 ");
    return results;
}

FakeSaveFiles DoubleByteFiles() {
    FakeSaveFiles files;
    files.doubleByte = true;
    return files;
}

class NoPump : public EventPump {
public:
    void Pump() override {}
    void PumpFor(std::chrono::milliseconds) override {}
    void Wake() noexcept override {}
};

std::filesystem::path OutputFile() {
    return std::filesystem::temp_directory_path() / "tessivane-bench.txt";
}

void WriteOnce(const std::string& bytes) {
    std::FILE* file = std::fopen(OutputFile().c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The same text built with one reserve and plain appends, widths known in advance.
void BM_RenderBaseline(benchmark::State& state) {
    const RowTable& list = SharedResults().list;
    const std::size_t widths[3] = {6, 6, 15};
    for (auto _ : state) {
        Text text;
        text.reserve(list.RowCount() * 40);
        for (std::size_t row = 1; row <= list.RowCount(); ++row) {
            const Text* cells[3] = {&list.MainText(row), &list.SubItem(row, 1),
                                    &list.SubItem(row, 2)};
            for (std::size_t c = 0; c < 2; ++c) {
                text += *cells[c];
                text.append(widths[c] - cells[c]->size(), u' ');
                text += u'\t';
            }
            text += *cells[2];
            text += u"\r\n";
        }
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_RenderCheckedRows(benchmark::State& state) {
    NoPump pump;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderAlignedText(SharedResults().list, pump).data());
    }
}

void BM_TextFileBaseline(benchmark::State& state) {
    FakeSaveFiles files;
    const std::string bytes = TextFileBytes(SharedResults().list, files);
    for (auto _ : state) {
        WriteOnce(bytes);
    }
}

void BM_TextFile(benchmark::State& state) {
    FakeSaveFiles files;
    for (auto _ : state) {
        WriteOnce(TextFileBytes(SharedResults().list, files));
    }
}

void BM_CjkTextFileBaseline(benchmark::State& state) {
    FakeSaveFiles files = DoubleByteFiles();
    const std::string bytes = TextFileBytes(CjkResults().list, files);
    for (auto _ : state) {
        WriteOnce(bytes);
    }
}

// The stand-in conversion alone, of the cells that need it, as the text file converts them.
void BM_CjkConversion(benchmark::State& state) {
    FakeSaveFiles files = DoubleByteFiles();
    const RowTable& list = CjkResults().list;
    std::string bytes;
    for (auto _ : state) {
        bytes.clear();
        for (std::size_t row = 1; row <= list.RowCount(); ++row) {
            files.AppendAnsi(list.SubItem(row, 2), bytes);
        }
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_CjkTextFile(benchmark::State& state) {
    FakeSaveFiles files = DoubleByteFiles();
    for (auto _ : state) {
        WriteOnce(TextFileBytes(CjkResults().list, files));
    }
}

BENCHMARK(BM_RenderBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCheckedRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFileBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CjkTextFileBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CjkTextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CjkConversion)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    g_rows = TakeSizeOption(argc, argv, "rows", g_rows);
    const std::string rows = std::to_string(g_rows);
    const int result = RunWithRatios(
        argc, argv,
        {{"BM_RenderCheckedRows", "BM_RenderBaseline",
          "Aligned rendering of " + rows + " ticked rows against one reserve and appends", 2.0},
         {"BM_TextFile", "BM_TextFileBaseline",
          "Text file of " + rows + " rows against one write of the same bytes", 1.5},
         {"BM_CjkTextFile", "BM_CjkTextFileBaseline",
          "Text file of " + rows + " rows of CJK text against one write of the same bytes", 1.5},
         // Over half the write, the conversion alone leaves that goal out of reach.
         {"BM_CjkConversion", "BM_CjkTextFileBaseline",
          "of which the conversion of the " + rows + " CJK texts alone", std::nullopt}});
    std::filesystem::remove(OutputFile());
    return result;
}
