// A conversion context with a temporary directory, and what a writer writes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_context.h"
#include "base/text_file.h"
#include "support/recording_ui.h"
#include "writers/line_writer.h"
#include "support/temp_dir.h"

namespace geoplait::test {

inline const std::string kBom = "\xEF\xBB\xBF";

// Lines written with "\n" as the files hold them, with CR LF.
inline std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

struct WriterFixture {
    Settings settings;
    RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;

    ConvertSettings& s() { return settings.current; }

    // What `write` writes to a new plain file.
    std::string Written(const std::function<void(TextWriter&)>& write) {
        const std::string path = dir.File("written.txt");
        TextWriter out(path, WriteMode::Plain);
        write(out);
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(path);
    }

    // The line writer options a run decodes from the settings.
    LineWriterOptions Options() { return LineWriterOptionsOf(s(), settings.config); }
    RecordNumbers Numbers() const { return {ctx.store.RecordIndex, ctx.store.WrittenCount}; }

    // What the line writer `write` writes of the current record to a new plain file.
    // The record is taken as a reader of NMEA texts hands it on: its
    // positions read from its texts.
    std::string WrittenLine(LineWriter write) {
        ReadPositionTexts(ctx.point);
        LineOutput writer{Options(), {}};
        return Written([&](TextWriter& out) { write(out, writer.options, ctx.point, Numbers(), writer.scratch); });
    }

    void Input(const std::string& bytes) { WriteFileBytes(s().InputFile, bytes); }

    // The names in the temporary directory, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace geoplait::test
