// A conversion context with the default settings and a temporary directory,
// and capture of what a writer writes.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/run_context.h"
#include "base/text_file.h"
#include "kml/kml_document.h"
#include "kml/kml_format.h"
#include "settings/convert_settings.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait::test {

// The bytes with every CR LF turned into "\n"; a lone LF or CR fails the test.
inline std::string FromCrLf(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at " << i;
            continue;
        }
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at " << i;
        }
        text.push_back(bytes[i]);
    }
    return text;
}

// The head of the default settings, CR LF shown as "\n".
inline const std::string kKmlHead = "\xEF\xBB\xBF" R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://earth.google.com/kml/2.1">
<Document>
<name>KmlName</name>

<Style id="style">
<IconStyle>
 <scale>0.5</scale>
</IconStyle>
<LabelStyle>
 <scale>0.8</scale>
</LabelStyle>
</Style>

)";

class KmlFixture : public ::testing::Test {
protected:
    KmlFixture() {
        SetDefaultSettings(settings);
        ApplyBaselineSettings(settings);
        // The run values the job derives from the default settings.
        ctx.run.RecordRangeStart = 1;
        ctx.run.RecordRangeEnd = 9999999;
        ctx.run.SatelliteThreshold = 0;
        ctx.run.DilutionThreshold = 999999;
        ctx.run.ThinningDistance = 0.0;
        ctx.run.GapDistanceLimit = 99999.0;
        ctx.run.GapSecondsLimit = 600.0;
        ctx.run.PlacemarkInterval = 1;
        ctx.run.TimeDifferenceValue = 90000;
        ctx.point.LocalOffset = 90000;  // as ComputeDerived makes it
        ctx.run.PrescanCount = 1000;
    }

    ConvertSettings& s() { return settings.current; }
    // The parts of the context the KML writers of a section take.
    KmlSection Section() { return {ctx.Current(), ctx.point, ctx.store, ctx.run}; }

    // What `write` writes through a KmlBuffer, CR LF shown as "\n".
    std::string Captured(const std::function<void(KmlBuffer&)>& write) {
        const std::string path = dir.File("captured.txt");
        {
            TextWriter file(path, WriteMode::Plain);
            {
                KmlBuffer out(file);
                write(out);
            }
            EXPECT_TRUE(file.Close());
        }
        return FromCrLf(ReadFileBytes(path));
    }

    Settings settings;
    RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;
};

}  // namespace geoplait::test
