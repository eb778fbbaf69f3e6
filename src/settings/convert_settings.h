// The settings record: every option of the program, each field named after its
// settings-file key, letter for letter. Flags are 0/1 ints, typed options stay
// texts and are converted where they are used.
#pragma once

#include <array>
#include <string>

namespace geoplait {

inline constexpr int kGroupCount = 12;  // line groups and speed ranges

struct Rgb {
    int R = 0;
    int G = 0;
    int B = 0;
    bool operator==(const Rgb&) const = default;
};

// Section [config]: exists once, untouched by ApplyBaselineSettings.
struct ConfigSettings {
    std::string AutoLoad = "0";
    std::string AutoSave = "0";
    std::string Protect = "0";
    Rgb BackgroundColor{240, 240, 245};
    Rgb EditColor{250, 255, 250};
    Rgb ComboColor{255, 250, 250};
    std::string LatitudeNS = "N";
    std::string LongitudeWE = "E";
    bool operator==(const ConfigSettings&) const = default;
};

// One instance is the baseline (defaults + settings file), one the current
// (what the window edits and every conversion reads). Where the two hold a
// field in different forms the comment says so.
struct ConvertSettings {
    // [config general]
    std::string TimeDifference;
    // An IANA zone name ("Europe/Berlin"), "system" (the machine's zone) or
    // empty (TimeDifference, fixed, as before the key existed). A zone gives
    // each record the offset it had at that instant.
    std::string TimeZone;
    std::string MeterMile;  // display text: "Km/Meter", "Nautical Mile/Feet", "Statute Mile/Feet"
    std::string Language;   // display text
    std::string Mode;       // display text of the mode table
    std::string InputFile;
    std::string OutputFile;
    int Bom = 0;
    int Tokyo2WGS84 = 0;
    std::string GpxType;  // how a GPX output holds the track: "Route" or "Track"
    int IncludeData = 0;
    std::string RecordStart;
    std::string RecordEnd;
    std::string Satellites;
    std::string Margin;
    std::string Distance;
    int ReNumber = 0;
    int OmitErrorData = 0;
    int IncludeData_date = 0;
    std::string DATE_IncludeStart;
    std::string TIME_IncludeStart;
    std::string DATE_IncludeEnd;
    std::string TIME_IncludeEnd;
    std::string Name;
    int Altitude = 0;
    int VLineAltitude = 0;
    std::string VLineColor;  // baseline "R,G,B" as read; current "BBGGRR" hex
    std::string VLineTransparent;
    std::string VLineTransparentPercent;  // current only: display text of VLineTransparent
    int Photo = 0;
    int Kmz = 0;
    std::string PhotoDir;
    int TimeStampPath = 0;
    int TimeStampPosition = 0;
    std::string LineDistance;
    std::string LineDistanceSec;
    int TrackGroupDate = 0;
    int FileSplit = 0;
    int SpeedGroup = 0;
    int Placemark = 0;
    int PosType = 0;
    int PosDistance = 0;
    std::string Interval;
    std::string PosType_edit;
    std::string PosDistance_edit;
    std::string IconSize;
    std::string LabelSize;
    int PosIconUrl = 0;
    std::string IconURL;
    int Label_No = 0;
    int Label_Km = 0;
    int Label_Speed = 0;
    int Label_Elapsed = 0;
    int Label_Degrees = 0;
    int Label_Date = 0;
    int Label_Time = 0;
    int Label_IntervalTime = 0;
    int Label_Altitude = 0;
    int Label_IntervalKm = 0;
    int Label_Satellites = 0;
    int Label_Tex = 0;
    int Label_LatLon = 0;
    int Label_Description = 0;
    int TrackLine = 1;  // current only: the window's track-line check box

    // [config CsvInput]
    int Imput_Latitude_ns = 0;
    int Imput_Latitude = 0;
    int Imput_Longitude_ew = 0;
    int Imput_Longitude = 0;
    int Imput_Altitude = 0;
    int Imput_Date = 0;
    int Imput_Time = 0;
    int Imput_Speed = 0;
    int Imput_Degrees = 0;
    std::string Imput_Latitude_dms;
    std::string Imput_Longitude_dms;
    std::string Imput_Date_ymd;
    std::string Imput_Time_hms;
    std::string Imput_Speed_nk;

    // [config CsvOutput]
    int Output_Name = 0;
    int Output_Latitude_ns = 0;
    int Output_Latitude_dmm = 0;
    int Output_Latitude_ddd = 0;
    int Output_Latitude_dms = 0;
    int Output_Longitude_ew = 0;
    int Output_Longitude_dmm = 0;
    int Output_Longitude_ddd = 0;
    int Output_Longitude_dms = 0;
    int Output_Altitude = 0;
    int Output_Speed_knots = 0;
    int Output_Speed_km = 0;
    int Output_Degrees = 0;
    int Output_Satellites = 0;
    int Output_Dilution = 0;
    int Output_Date_dmy = 0;
    int Output_Date_ymd = 0;
    int Output_Time_utc = 0;
    int Output_Time_utc9 = 0;
    int Output_Elapsed_Distance = 0;
    int Output_Elapsed_hms = 0;
    int Output_Elapsed_sec = 0;
    int Output_interval_Distance = 0;
    int Output_interval_hms = 0;
    int Output_interval_sec = 0;
    int Output_No = 0;
    int Output_Extend_Data = 0;
    int CsvHeader = 0;  // CSV Full and Custom outputs begin with a line naming the columns

    // [config Group]; index 0 is group 1.
    std::array<std::string, kGroupCount> LineColorRGB;  // baseline "R,G,B" as read; current "BBGGRR"
    std::array<std::string, kGroupCount> LineWidth;
    std::array<std::string, kGroupCount> Transparent;
    std::array<std::string, kGroupCount> TransparentPercent;  // current only

    // [config SpeedGroup]: lower bound of each speed range; index 0 is range 1.
    std::array<double, kGroupCount> SpeedRange{};

    // [config Photo]
    int Photo_TimeAdjust = 0;
    int Photo_TimeAdjustCAL = 0;
    int Photo_Exif_GPS_TimeStamp = 0;
    int Photo_Exif_DateTimeOriginal = 0;
    int Photo_Exif_DateTime = 0;
    int Photo_FileDate = 0;
    int Photo_Exif_GPS_Point = 0;
    int Photo_IconUrl = 0;
    int Photo_IconThumbnail = 0;
    int Photo_Icon_FileName = 0;
    int Photo_Icon_Date = 0;
    int Photo_Icon_Time = 0;
    int Photo_Icon_Title = 0;
    int Photo_Icon_Latitude = 0;
    int Photo_Icon_Longitudinal = 0;
    int Photo_PhotoUrl = 0;
    int Photo_CreateDirectory = 0;
    int Photo_CsvOut = 0;
    int Photo_Comment = 0;
    int Photo_TimeStamp = 0;
    int Photo_Label = 0;
    std::string Photo_TimeAdjustSec;
    std::string Photo_Default_Latitude_ns;
    std::string Photo_Default_Latitude;
    std::string Photo_Default_Longitudinal_we;
    std::string Photo_Default_Longitudinal;
    std::string Photo_IconUrl_edit;
    std::string Photo_IconThumbnail_Sizel;
    std::string Photo_PhotoUrl_edit;
    std::string Photo_LabelSize;
    std::string Photo_IconSize;
    std::string Photo_PhotoWidth;
    // A photo between two records at most Photo_InterpolateSec apart lies on
    // the line between them, at the fraction its time gives.
    int Photo_Interpolate = 0;
    std::string Photo_InterpolateSec;
    // An XMP sidecar NAME.EXT.xmp with the position beside every photo placed
    // from the track.
    int Photo_Sidecar = 0;
    // How a sidecar is named: "Full" (IMG_0001.JPG.xmp) or "Short" (IMG_0001.xmp).
    std::string Photo_SidecarName;
    // A photo further than this many seconds outside the track, or from the
    // nearest record within a gap, is not placed.
    std::string Photo_MaxGapSec;
    // Texts of the photo dialog's calibration pickers; no settings key stores them.
    std::string Photo_CalNowDate;
    std::string Photo_CalNowTime;
    std::string Photo_CalCameraDate;
    std::string Photo_CalCameraTime;

    // [config Adjustment]
    std::string OffNS;
    std::string OffWE;
    std::string OffAltitude;

    // [config CreateNmea]
    int Create_GPGGA = 0;
    int Create_GPRMC = 0;
    std::string Default_NS;
    std::string Default_WE;
    std::string Default_Altitude;
    std::string Default_Unit;
    std::string Default_UTC_Date;
    std::string Default_UTC_Time;

    bool operator==(const ConvertSettings&) const = default;
};

// Preset tables offered by the option dialogs; constant after SetDefaultSettings.
struct SettingsPresets {
    // Letters A to F, 12 "R,G,B" texts each, components right-aligned in three characters.
    std::array<std::array<std::string, kGroupCount>, 6> LineColorPresets;
    // Letters A to E, 12 lower bounds each.
    std::array<std::array<double, kGroupCount>, 5> SpeedRangePresets{};
};

// Everything the settings subsystem owns: the [config] fields, both instances,
// the presets and the start-up directory where geoplait.ini lives.
struct Settings {
    ConfigSettings config;
    ConvertSettings baseline;
    ConvertSettings current;
    SettingsPresets presets;
    std::string startDir = ".";
    // startDir is the desktop's settings folder, made when the file is saved.
    bool ownSettingsDir = false;
};

// The TimeZone value of the machine's own zone.
inline constexpr const char* kSystemTimeZone = "system";

// Fills the baseline and the [config] fields with the defaults, normalises
// AutoLoad/AutoSave/Protect (anything but "1" becomes "0") and fills the presets.
void SetDefaultSettings(Settings& settings);

// Makes the current instance from the baseline (colour texts to "BBGGRR",
// percentage texts, TrackLine = 1). Leaves [config] alone.
void ApplyBaselineSettings(Settings& settings);

// "FF" -> " 0%", "DF" -> "12%", ... ; nullptr when the hex text is not in the table.
const char* PercentOfTransparent(const std::string& hex);
// The other direction: " 0%" -> "FF"; nullptr when not in the table.
const char* TransparentOfPercent(const std::string& percent);

// "R,G,B" (blanks allowed, missing parts 0) to the "BBGGRR" hex text.
std::string HexColorOfRgbText(const std::string& rgb);
// "BBGGRR" hex text to its components.
Rgb RgbOfHexColor(const std::string& hex);

}  // namespace geoplait
